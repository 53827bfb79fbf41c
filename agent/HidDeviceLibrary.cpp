#include "HidDeviceLibrary.h"

#include "ProgramNames.h"
#include "SystemError.h"
#include "SystemLibraries.h"

namespace {

template <class Function>
Function ResolveOrdinal(HMODULE module, unsigned ordinal) {
    const FARPROC address = GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
    if (!address) {
        const DWORD error = GetLastError();
        TraceSystemError(L"GetProcAddress", names::kHidDeviceDll + (L" #" + std::to_wstring(ordinal)), error);
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

}  // namespace

bool HidDeviceLibrary::Load() {
    if (IsLoaded()) return true;
    module_ = LoadTrustedLibrary(names::kHidDeviceDll);
    if (!module_) return false;
    setFilter_ = ResolveOrdinal<hid::SetFilterFn>(module_, hid::kOrdinalSetFilter);
    setCallback_ = ResolveOrdinal<hid::SetInputCallbackFn>(module_, hid::kOrdinalSetInputCallback);
    stop_ = ResolveOrdinal<hid::StopFn>(module_, hid::kOrdinalStop);
    write_ = ResolveOrdinal<hid::WriteReportFn>(module_, hid::kOrdinalWriteReport);
    start_ = ResolveOrdinal<hid::StartMonitoringFn>(module_, hid::kOrdinalStartMonitoring);
    if (!setFilter_ || !setCallback_ || !stop_ || !write_ || !start_) {
        // A library without the whole table is no library: the agent runs without a mouse.
        start_ = nullptr;
        return false;
    }
    return true;
}

void HidDeviceLibrary::SetFilter(const hid::DeviceFilter& filter) const {
    if (IsLoaded()) setFilter_(&filter);
}

void HidDeviceLibrary::SetInputCallback(hid::InputCallback callback) const {
    if (IsLoaded()) setCallback_(callback);
}

int HidDeviceLibrary::StartMonitoring(HWND window, UINT message) const {
    return IsLoaded() ? start_(window, message) : 0;
}

void HidDeviceLibrary::Stop() const {
    if (IsLoaded()) stop_();
}

int HidDeviceLibrary::WriteReport(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length) const {
    return IsLoaded() ? write_(deviceId, report, length) : 0;
}
