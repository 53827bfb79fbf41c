#pragma once
// What the HID library's Windows tests share besides HidLibraryClient.h: where the built
// library is, counts of what a process holds and its monitor windows.
#include <windows.h>

#include <string>
#include <vector>

#include "HidLibraryClient.h"

// The built library, where the build put it.
std::wstring BuiltLibraryPath();

// What this process holds. Wine's GetProcessHandleCount says 0, so there every handle
// value is probed instead; Wine's GetGuiResources says 0 too, so the windows of the
// library's own kind are counted besides.
struct ProcessHoldings {
    DWORD Handles = 0;
    DWORD GdiObjects = 0;
    DWORD UserObjects = 0;
    DWORD Threads = 0;
};
ProcessHoldings CountHoldings();

// The library's monitor windows (message-only) that exist in a process.
std::vector<HWND> MonitorWindows(DWORD processId = GetCurrentProcessId());

// Tells a monitor window that a device interface arrived or went, as the system does.
void AnnounceDeviceChange(HWND monitorWindow, WPARAM event);
