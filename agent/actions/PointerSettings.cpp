#include "PointerSettings.h"

#include <string>

#include "PointerValues.h"

namespace {

static_assert(pointer::kSpiSetMouse == SPI_SETMOUSE && pointer::kSpiSetMouseSpeed == SPI_SETMOUSESPEED &&
              pointer::kSpiSetWheelScrollLines == SPI_SETWHEELSCROLLLINES);
static_assert(pointer::kSpifUpdateIniFile == SPIF_UPDATEINIFILE && pointer::kSpifSendChange == SPIF_SENDCHANGE);

}  // namespace

std::wstring SystemPointerSettings::ReadMouseValue(const wchar_t* name) {
    std::wstring text;
    mouseKey_.ReadString(name, text);
    return text;
}

void SystemPointerSettings::WriteMouseValue(const wchar_t* name, const std::wstring& text) {
    mouseKey_.WriteString(name, text);
}

void SystemPointerSettings::SetDoubleClickTime(std::uint32_t milliseconds) { ::SetDoubleClickTime(milliseconds); }

void SystemPointerSettings::SetSystemParameter(std::uint32_t action, std::uint32_t uiParam, void* pvParam,
                                               std::uint32_t winIni) {
    SystemParametersInfoW(action, uiParam, pvParam, winIni);
}

void SystemPointerSettings::NotifySettingChange(std::uint32_t action, std::intptr_t lParam) {
    if (notifyWindow_) SendMessageW(notifyWindow_, WM_WININICHANGE, action, lParam);
}

void ApplyPointerSettings(const ProfileSettings& profile, const RegistryKey& mouseKey, HWND notifyWindow) {
    SystemPointerSettings system(mouseKey, notifyWindow);
    pointer::ApplyPointerSettings(profile, system);
}

pointer::WindowsVersion GetWindowsVersion() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    if (!GetVersionExW(&version)) return pointer::WindowsVersion::Other;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return pointer::ClassifyWindowsVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}
