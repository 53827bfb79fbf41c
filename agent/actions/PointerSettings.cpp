#include "PointerSettings.h"

#include <string>

#include "PointerRegistry.h"
#include "PointerValues.h"

namespace {

using namespace pointer_registry;

int ReadRegistryInt(const RegistryKey& key, const wchar_t* name) {
    std::wstring text;
    key.ReadString(name, text);
    return pointer::RegistryInt(text);
}

void NotifySettingChange(HWND window, UINT action, LPARAM lParam) {
    if (window) SendMessageW(window, WM_WININICHANGE, action, lParam);
}

}  // namespace

void ApplyPointerSettings(const ProfileSettings& profile, const RegistryKey& mouseKey, HWND notifyWindow) {
    ApplyDoubleClickTime(profile);
    ApplyPointerSpeed(profile, mouseKey, notifyWindow);
    ApplyWheelScrolling(profile, notifyWindow);
}

void ApplyDoubleClickTime(const ProfileSettings& profile) { SetDoubleClickTime(pointer::LiveDoubleClickTime(profile)); }

void ApplyPointerSpeed(const ProfileSettings& profile, const RegistryKey& mouseKey, HWND notifyWindow) {
    const int mouseSpeed = ReadRegistryInt(mouseKey, kMouseSpeed);
    const int threshold2 = ReadRegistryInt(mouseKey, kThreshold2);
    const int threshold1 = ReadRegistryInt(mouseKey, kThreshold1);
    auto plan = pointer::PlanLiveAcceleration(profile, mouseSpeed, threshold2, threshold1);
    if (plan.WriteZeros) {
        for (const wchar_t* name : {kMouseSpeed, kThreshold2, kThreshold1}) mouseKey.WriteString(name, L"0");
    }
    SystemParametersInfoW(SPI_SETMOUSE, 0, plan.MouseParams.data(), SPIF_SENDCHANGE);
    NotifySettingChange(notifyWindow, SPI_SETMOUSE, reinterpret_cast<LPARAM>(plan.MouseParams.data()));

    // Windows takes the speed from the pointer argument, Wine 8 from the integer argument;
    // with both carrying it, each finds it where it looks.
    const UINT speed = static_cast<UINT>(pointer::PointerSpeed(profile));
    SystemParametersInfoW(SPI_SETMOUSESPEED, speed, reinterpret_cast<void*>(static_cast<UINT_PTR>(speed)),
                          SPIF_SENDCHANGE);
    NotifySettingChange(notifyWindow, SPI_SETMOUSESPEED, 0);
}

void ApplyWheelScrolling(const ProfileSettings& profile, HWND notifyWindow) {
    SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, pointer::LiveWheelScrollLines(profile), nullptr,
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    NotifySettingChange(notifyWindow, SPI_SETWHEELSCROLLLINES, 0);
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
