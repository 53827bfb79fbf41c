#include "PointerRegistry.h"

#include <string>

#include "PointerValues.h"
#include "RegistryKey.h"

using namespace pointer_registry;

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
