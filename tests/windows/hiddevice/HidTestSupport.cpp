#include "HidTestSupport.h"

#include <dbt.h>
#include <tlhelp32.h>

#include "MonitorSession.h"
#include "TestProcess.h"

namespace {

template <class Function>
Function Ordinal(HMODULE module, unsigned ordinal) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

DWORD CountThreads() {
    const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return 0;
    DWORD count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    }
    return count;
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

std::wstring BuiltLibraryPath() {
    // Build paths are host paths; Wine shows the host's root as drive Z:.
    std::wstring path = L"Z:";
    for (const char c : std::string(TERN7_DIST_DIR "/HidDevice.dll")) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

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

ProcessHoldings CountHoldings() {
    return {CountOpenHandles(), GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
            GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), CountThreads()};
}

std::vector<HWND> MonitorWindows(DWORD processId) {
    std::vector<HWND> windows;
    for (HWND window = nullptr;
         (window = FindWindowExW(HWND_MESSAGE, window, hiddevice::kMonitorWindowClass, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) windows.push_back(window);
    }
    return windows;
}

void AnnounceDeviceChange(HWND monitorWindow, WPARAM event) {
    DEV_BROADCAST_DEVICEINTERFACE_W arrival{};
    arrival.dbcc_size = sizeof arrival;
    arrival.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    SendMessageW(monitorWindow, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&arrival));
}
