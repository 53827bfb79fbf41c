#pragma once
// The Windows pointer settings of the current profile: live through the system-parameter
// calls, and persistently in the user's Control Panel registry values.
#include <windows.h>

#include "config/RegistryKey.h"
#include "config/SettingsImage.h"

// Double-click time, pointer speed with acceleration, and wheel scrolling of the profile,
// each step on its own. mouseKey is the open "Control Panel\Mouse" key the acceleration
// values are read from; notifyWindow gets WM_WININICHANGE after each system call.
void ApplyPointerSettings(const ProfileSettings& profile, const RegistryKey& mouseKey, HWND notifyWindow);
void ApplyDoubleClickTime(const ProfileSettings& profile);
void ApplyPointerSpeed(const ProfileSettings& profile, const RegistryKey& mouseKey, HWND notifyWindow);
void ApplyWheelScrolling(const ProfileSettings& profile, HWND notifyWindow);

// The current profile's values into "Control Panel\Mouse" and "Control Panel\Desktop";
// 1 when written, -1 when a key could be neither opened nor created.
int WritePointerRegistryValues(const SettingsImage& image);

// 0..5, from GetVersionExW.
int GetWindowsVersionClass();
