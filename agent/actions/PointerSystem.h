#pragma once
// The effects of a live pointer-settings apply, one call each: the acceleration values of
// the user's "Control Panel\Mouse" key, the double-click time, the system-parameter calls
// and the notice to the agent's own window. The agent performs them through Win32; the
// order and the arguments are decided by the callers of this interface.
#include <cstdint>
#include <string>

namespace pointer {

// SystemParametersInfoW actions and flags, by their Windows numbers.
inline constexpr std::uint32_t kSpiSetMouse = 4;
inline constexpr std::uint32_t kSpiSetWheelScrollLines = 105;
inline constexpr std::uint32_t kSpiSetMouseSpeed = 113;
inline constexpr std::uint32_t kSpifUpdateIniFile = 1;
inline constexpr std::uint32_t kSpifSendChange = 2;

class PointerSystem {
public:
    virtual ~PointerSystem() = default;
    // The text of a value of the mouse key; empty when it cannot be read.
    virtual std::wstring ReadMouseValue(const wchar_t* name) = 0;
    virtual void WriteMouseValue(const wchar_t* name, const std::wstring& text) = 0;
    virtual void SetDoubleClickTime(std::uint32_t milliseconds) = 0;
    // SystemParametersInfoW with these arguments; failures are not reported.
    virtual void SetSystemParameter(std::uint32_t action, std::uint32_t uiParam, void* pvParam,
                                    std::uint32_t winIni) = 0;
    // WM_WININICHANGE to the agent's own window: wParam the action, lParam as given.
    virtual void NotifySettingChange(std::uint32_t action, std::intptr_t lParam) = 0;
};

}  // namespace pointer
