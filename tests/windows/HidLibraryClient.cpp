#include "HidLibraryClient.h"

#include "TestProcess.h"

namespace {

template <class Function>
Function Ordinal(HMODULE module, unsigned ordinal) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

}  // namespace

HidLibrary::HidLibrary(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {
    if (!module_) return;
    Start = Ordinal<hid::StartMonitoringFn>(module_.get(), hid::kOrdinalStartMonitoring);
    Stop = Ordinal<hid::StopFn>(module_.get(), hid::kOrdinalStop);
    Write = Ordinal<hid::WriteReportFn>(module_.get(), hid::kOrdinalWriteReport);
    SetFilter = Ordinal<hid::SetFilterFn>(module_.get(), hid::kOrdinalSetFilter);
    SetCallback = Ordinal<hid::SetInputCallbackFn>(module_.get(), hid::kOrdinalSetInputCallback);
}

bool HidLibrary::Loaded() const { return module_ && Start && Stop && Write && SetFilter && SetCallback; }

NoticeWindow::NoticeWindow()
    : window_(L"", {.OnMessage =
                        [this](HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
                            if (message != hid::kMsgDeviceMonitor || wParam != hid::kMonitorEvent) return false;
                            notices.push_back({LOWORD(lParam) == 1, HIWORD(lParam)});
                            return true;
                        },
                    .Parent = HWND_MESSAGE}) {}

std::vector<Notice> NoticeWindow::WaitFor(std::size_t count, DWORD timeoutMs) {
    PumpUntil([&] { return notices.size() >= count; }, timeoutMs);
    return notices;
}

std::vector<RecordedInput>& RecordedInputs() {
    static std::vector<RecordedInput> inputs;
    return inputs;
}

void __stdcall RecordInput(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length) {
    RecordedInputs().push_back(
        {GetCurrentThreadId(), deviceId, length, std::vector<std::uint8_t>(report, report + hid::kMinInputBuffer)});
}
