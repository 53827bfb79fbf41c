#include "PointerSettings.h"

#include <string>

#include "actions/PointerValues.h"

namespace {

constexpr wchar_t kMouseKey[] = L"Control Panel\\Mouse";
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kMouseSpeed[] = L"MouseSpeed";
constexpr wchar_t kThreshold1[] = L"MouseThreshold1";
constexpr wchar_t kThreshold2[] = L"MouseThreshold2";

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

int WritePointerRegistryValues(const SettingsImage& image) {
    const ProfileSettings& profile = CurrentProfile(image);
    UniqueHKey mouse;
    if (OpenOrCreateKey(HKEY_CURRENT_USER, kMouseKey, mouse) != ERROR_SUCCESS) return -1;
    const auto acceleration = pointer::RegistryAcceleration(profile);
    SetStringValue(mouse.get(), L"DoubleClickSpeed", std::to_wstring(pointer::RegistryDoubleClickSpeed(profile)));
    SetStringValue(mouse.get(), L"MouseSensitivity", std::to_wstring(pointer::PointerSpeed(profile)));
    SetStringValue(mouse.get(), kMouseSpeed, std::to_wstring(acceleration.MouseSpeed));
    SetStringValue(mouse.get(), kThreshold1, std::to_wstring(acceleration.Threshold1));
    SetStringValue(mouse.get(), kThreshold2, std::to_wstring(acceleration.Threshold2));
    mouse.reset();

    UniqueHKey desktop;
    if (OpenOrCreateKey(HKEY_CURRENT_USER, kDesktopKey, desktop) != ERROR_SUCCESS) return -1;
    SetStringValue(desktop.get(), L"WheelScrollLines", std::to_wstring(pointer::RegistryWheelScrollLines(profile)));
    return 1;
}

int GetWindowsVersionClass() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    if (!GetVersionExW(&version)) return 0;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return pointer::ClassifyWindowsVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}
