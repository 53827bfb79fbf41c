#pragma once
// The Windows pointer settings of the current profile, live through the system-parameter
// calls; PointerRegistry.h keeps them for good.
#include <windows.h>

#include "RegistryKey.h"
#include "SettingsImage.h"

// Double-click time, pointer speed with acceleration, and wheel scrolling of the profile,
// each step on its own. mouseKey is the open "Control Panel\Mouse" key the acceleration
// values are read from; notifyWindow gets WM_WININICHANGE after each system call.
void ApplyPointerSettings(const ProfileSettings& profile, const RegistryKey& mouseKey, HWND notifyWindow);
void ApplyDoubleClickTime(const ProfileSettings& profile);
void ApplyPointerSpeed(const ProfileSettings& profile, const RegistryKey& mouseKey, HWND notifyWindow);
void ApplyWheelScrolling(const ProfileSettings& profile, HWND notifyWindow);

// 0..5, from GetVersionExW.
int GetWindowsVersionClass();
