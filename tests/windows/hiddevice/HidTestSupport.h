#pragma once
// What the HID library's Windows tests share: the library loaded as the agent loads it,
// a window that collects its open/close notices, a recording input callback and counts
// of what a process holds.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Handles.h"
#include "HidDeviceContract.h"

// HidDevice.dll with its entry points resolved by ordinal only, as the agent does.
class HidLibrary {
public:
    explicit HidLibrary(const std::wstring& path);
    bool Loaded() const;

    hid::StartMonitoringFn Start = nullptr;
    hid::StopFn Stop = nullptr;
    hid::WriteReportFn Write = nullptr;
    hid::SetFilterFn SetFilter = nullptr;
    hid::SetInputCallbackFn SetCallback = nullptr;

private:
    UniqueModule module_;
};

// The built library, where the build put it.
std::wstring BuiltLibraryPath();

struct Notice {
    bool Opened;
    std::uint16_t DeviceId;
    bool operator==(const Notice&) const = default;
};

class NoticeWindow {
public:
    NoticeWindow();
    ~NoticeWindow();
    NoticeWindow(const NoticeWindow&) = delete;
    NoticeWindow& operator=(const NoticeWindow&) = delete;
    HWND Handle() const { return window_; }
    // Pumps until `count` notices have come, then gives them all.
    std::vector<Notice> WaitFor(std::size_t count, DWORD timeoutMs = 5000);

    std::vector<Notice> notices;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};

struct RecordedInput {
    DWORD Thread;
    std::uint32_t DeviceId;
    std::uint32_t Length;
    std::vector<std::uint8_t> FirstNineBytes;
};
// What RecordInput has seen; the callback is a plain function.
std::vector<RecordedInput>& RecordedInputs();
void __stdcall RecordInput(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length);

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
