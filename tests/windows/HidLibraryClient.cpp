#include "HidLibraryClient.h"

#include "TestProcess.h"

namespace {

template <class Function>
Function Ordinal(HMODULE module, unsigned ordinal) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
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

NoticeWindow::NoticeWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"HidDeviceTestNotices";
    RegisterClassExW(&windowClass);
    window_ = CreateWindowExW(0, L"HidDeviceTestNotices", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), this);
}

NoticeWindow::~NoticeWindow() { DestroyWindow(window_); }

std::vector<Notice> NoticeWindow::WaitFor(std::size_t count, DWORD timeoutMs) {
    PumpUntil([&] { return notices.size() >= count; }, timeoutMs);
    return notices;
}

LRESULT CALLBACK NoticeWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    } else if (message == hid::kMsgDeviceMonitor && wParam == hid::kMonitorEvent) {
        auto* self = reinterpret_cast<NoticeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        self->notices.push_back({LOWORD(lParam) == 1, HIWORD(lParam)});
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::vector<RecordedInput>& RecordedInputs() {
    static std::vector<RecordedInput> inputs;
    return inputs;
}

void __stdcall RecordInput(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length) {
    RecordedInputs().push_back(
        {GetCurrentThreadId(), deviceId, length, std::vector<std::uint8_t>(report, report + hid::kMinInputBuffer)});
}
