#pragma once
// HidDevice.dll, imported by ordinal. Loaded from the program folder or the system folder
// only, so that a DLL planted in the current folder or on PATH never runs in the agent.
// Without the DLL every call does nothing and the agent sees no mouse.
#include <windows.h>

#include <cstdint>

#include "HidDeviceContract.h"

class HidDeviceLibrary {
public:
    HidDeviceLibrary() = default;
    HidDeviceLibrary(const HidDeviceLibrary&) = delete;
    HidDeviceLibrary& operator=(const HidDeviceLibrary&) = delete;

    // Loads the DLL and resolves its ordinals; false when it is missing or incomplete.
    bool Load();
    bool IsLoaded() const { return start_ != nullptr; }

    void SetFilter(const hid::DeviceFilter& filter) const;
    void SetInputCallback(hid::InputCallback callback) const;
    int StartMonitoring(HWND window, UINT message) const;
    void Stop() const;
    int WriteReport(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length) const;

private:
    // The module stays loaded for the life of the process: the library's reader threads
    // run until the process ends, so unloading it would pull the code from under them.
    HMODULE module_ = nullptr;
    hid::SetFilterFn setFilter_ = nullptr;
    hid::SetInputCallbackFn setCallback_ = nullptr;
    hid::StartMonitoringFn start_ = nullptr;
    hid::StopFn stop_ = nullptr;
    hid::WriteReportFn write_ = nullptr;
};
