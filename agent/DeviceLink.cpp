// The link to the mouse: HidDevice.dll started with the mouse's filter and the input
// callback, the identifiers it reports, and the tray companion that follows the mouse.
#include <windows.h>
#include <shellapi.h>
#include <wtsapi32.h>

#include <algorithm>
#include <memory>

#include "AgentState.h"
#include "CorvidhidDlg.h"
#include "DebugOutput.h"
#include "ModulePaths.h"
#include "PathText.h"
#include "ProgramNames.h"
#include "config/ConfigFile.h"
#include "config/DataFolders.h"

namespace {

// An input report copied off the library's thread, on its way to the GUI thread.
struct QueuedReport {
    std::uint32_t DeviceId;
    std::uint32_t Length;
    std::vector<std::uint8_t> Bytes;  // at least hid::kMinInputBuffer
};

}  // namespace

void TERN7_STDCALL DeviceInputCallback(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length) {
    if (!AgentWindow || !report) return;
    const HWND window = AgentWindow->GetSafeHwnd();
    if (GetCurrentThreadId() == GetWindowThreadProcessId(window, nullptr)) {
        AgentWindow->OnInputReport(deviceId, report, length);
        return;
    }
    // Agent state belongs to the GUI thread: hand the report over instead of touching it.
    auto queued = std::make_unique<QueuedReport>();
    queued->DeviceId = deviceId;
    queued->Length = length;
    queued->Bytes.assign(report, report + std::max(length, hid::kMinInputBuffer));
    if (PostMessageW(window, kMsgQueuedInputReport, 0, reinterpret_cast<LPARAM>(queued.get())))
        queued.release();
}

int CCorvidhidDlg::OpenDevice() {
    if (DeviceOpen) hidDevice_.Stop();
    const hid::DeviceFilter filter = hid::MakeMouseFilter(TERN7_VENDOR_ID);
    hidDevice_.SetFilter(filter);
    hidDevice_.SetInputCallback(&DeviceInputCallback);
    DeviceOpen = hidDevice_.StartMonitoring(GetSafeHwnd(), hid::kMsgDeviceMonitor);
    return DeviceOpen;
}

void CCorvidhidDlg::OnDeviceMonitor(WPARAM wParam, LPARAM lParam) {
    const auto event = DecodeMonitorMessage(wParam, lParam);
    if (!event) return;
    DebugLine(event->Opened ? L"MONITOROPEN:dwDeviceID=%x\n" : L"MONITORCLOSE:dwDeviceID=%x\n", event->DeviceId);
    const MonitorReaction reaction = ApplyMonitorEvent(AttachedDeviceIds, *event);
    if (reaction.MainDeviceArrived) {
        ActiveGroup = -1;
        DeviceOpen = 1;
        StartNotifyHost();
    }
    if (reaction.LinkLost) DeviceOpen = 0;
    if (reaction.CloseNotifyHost) CloseNotifyHost();
}

void CCorvidhidDlg::StartNotifyHost() {
    OutputDebugStringW(L"StartNotifyHost");
    const std::wstring program = JoinPath(ProgramFolder(), names::kNotifyHostExe);
    ShellExecuteW(nullptr, L"open", program.c_str(), nullptr, nullptr, SW_SHOW);
}

void CCorvidhidDlg::CloseNotifyHost() {
    if (HWND window = FindWindowW(nullptr, names::kNotifyHostWindowTitle)) PostMessageW(window, WM_CLOSE, 0, 0);
}

LRESULT CCorvidhidDlg::OnSessionChange(WPARAM wParam, LPARAM) {
    switch (wParam) {
        case WTS_CONSOLE_CONNECT:
            if (OpenDevice()) {
                Sleep(2000);
                StartNotifyHost();
                SavePlugState(UserConfig(), 1);
            }
            break;
        case WTS_CONSOLE_DISCONNECT:
            SavePlugState(UserConfig(), 0);
            break;
        default:
            break;
    }
    return 0;
}

LRESULT CCorvidhidDlg::OnQueuedInputReport(WPARAM, LPARAM lParam) {
    const std::unique_ptr<QueuedReport> queued(reinterpret_cast<QueuedReport*>(lParam));
    OnInputReport(queued->DeviceId, queued->Bytes.data(), queued->Length);
    return 0;
}
