#pragma once
// A HidDevice.dll used as the agent uses it: its entry points by ordinal, a window that
// collects its open/close notices and an input callback that records what it is given.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "Handles.h"
#include "HidDeviceContract.h"
#include "TestWindow.h"

class HidLibrary {
public:
    explicit HidLibrary(const std::wstring& path);
    // The library loaded and every entry point found.
    bool Loaded() const;

    hid::StartMonitoringFn Start = nullptr;
    hid::StopFn Stop = nullptr;
    hid::WriteReportFn Write = nullptr;
    hid::SetFilterFn SetFilter = nullptr;
    hid::SetInputCallbackFn SetCallback = nullptr;

private:
    UniqueModule module_;
};

struct Notice {
    bool Opened;
    std::uint16_t DeviceId;
    bool operator==(const Notice&) const = default;
};

// Takes the notices posted with the event code of the contract; one with any other code
// is left out, so a test that waits for it fails.
class NoticeWindow {
public:
    NoticeWindow();
    HWND Handle() const { return window_.Handle(); }
    // Pumps until `count` notices have come, then gives them all.
    std::vector<Notice> WaitFor(std::size_t count, DWORD timeoutMs = 5000);

    std::vector<Notice> notices;

private:
    TestWindow window_;
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
