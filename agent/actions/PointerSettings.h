#pragma once
// The Windows pointer settings of the current profile, live through the system-parameter
// calls; PointerRegistry.h keeps them for good.
#include <windows.h>

#include "LivePointerSettings.h"
#include "PointerValues.h"
#include "RegistryKey.h"
#include "SettingsImage.h"

// Performs a live apply on this desktop. mouseKey is the open "Control Panel\Mouse" key
// the acceleration values are read from and written to; notifyWindow, when there is one,
// gets WM_WININICHANGE after each system call.
class SystemPointerSettings : public pointer::PointerSystem {
public:
    SystemPointerSettings(const RegistryKey& mouseKey, HWND notifyWindow)
        : mouseKey_(mouseKey), notifyWindow_(notifyWindow) {}

    std::wstring ReadMouseValue(const wchar_t* name) override;
    void WriteMouseValue(const wchar_t* name, const std::wstring& text) override;
    void SetDoubleClickTime(std::uint32_t milliseconds) override;
    void SetSystemParameter(std::uint32_t action, std::uint32_t uiParam, void* pvParam, std::uint32_t winIni) override;
    void NotifySettingChange(std::uint32_t action, std::intptr_t lParam) override;

private:
    const RegistryKey& mouseKey_;
    HWND notifyWindow_;
};

// Double-click time, pointer speed with acceleration, and wheel scrolling of the profile
// on this desktop, through SystemPointerSettings.
void ApplyPointerSettings(const ProfileSettings& profile, const RegistryKey& mouseKey, HWND notifyWindow);

// From GetVersionExW.
pointer::WindowsVersion GetWindowsVersion();
