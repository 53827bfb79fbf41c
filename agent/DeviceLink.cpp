// The link to the mouse: HidDevice.dll started with the mouse's filter and the input
// callback, the identifiers it reports, and the tray companion that follows the mouse.
#include <windows.h>
#include <shellapi.h>
#include <wtsapi32.h>

#include <algorithm>
#include <atomic>

#include "AgentState.h"
#include "ConfigFile.h"
#include "CorvidhidDlg.h"
#include "DataFolders.h"
#include "DebugOutput.h"
#include "InputReport.h"
#include "ModulePaths.h"
#include "PathText.h"
#include "ProgramNames.h"
#include "ReportQueue.h"

namespace {

// Reports from a library thread wait here for the GUI thread: twice what the library
// itself holds.
constexpr std::size_t kHandoffCapacity = 2 * kLibraryReportCapacity;
// Never destroyed: a library thread may still call while the process exits.
ReportQueue& PendingReports = *new ReportQueue(kHandoffCapacity, hid::kMinInputBuffer);

// The window the wake-ups go to and the thread that owns it; cleared before it goes.
std::atomic<HWND> WakeTarget{nullptr};
std::atomic<DWORD> GuiThread{0};

// Reports handled for one wake-up; then the window's other messages get their turn.
constexpr int kReportsPerWake = 32;

bool PostWake() {
    const HWND window = WakeTarget.load();
    return window && PostMessageW(window, kMsgInputReportsWaiting, 0, 0);
}

}  // namespace

void TERN7_STDCALL DeviceInputCallback(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length) {
    if (!report) return;
    if (!AcceptableInputLength(length)) {
        DebugLine("ID:%x, Length=%x ignored\n", deviceId, length);
        return;
    }
    if (GetCurrentThreadId() == GuiThread.load()) {
        if (AgentWindow) AgentWindow->OnInputReport(deviceId, report, length);
        return;
    }
    // Agent state belongs to the GUI thread: hand a copy over instead of touching it.
    // The library's buffer holds at least its minimum whatever the length.
    PendingReports.Offer(deviceId, {report, std::max<std::size_t>(length, hid::kMinInputBuffer)}, length, &PostWake);
}

void CCorvidhidDlg::AcceptInputReports() {
    AgentWindow = this;
    GuiThread = GetCurrentThreadId();
    WakeTarget = GetSafeHwnd();
    PendingReports.Open();
}

void CCorvidhidDlg::RefuseInputReports() {
    // Stopped even when its start found no mouse: it still watches for one. A library may
    // still call from its threads after it was told to stop; such a call finds nothing.
    hidDevice_.Stop();
    DeviceOpen = 0;
    PendingReports.Close();
    WakeTarget = nullptr;
    GuiThread = 0;
    AgentWindow = nullptr;
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
    DebugLine(event->Opened ? "MONITOROPEN:dwDeviceID=%x\n" : "MONITORCLOSE:dwDeviceID=%x\n", event->DeviceId);
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
    KillTimer(GetSafeHwnd(), kNotifyHostStartTimer);
    // Every even open asks for it; one that runs already needs no second process. One
    // that was asked to close is still there while it closes, and would refuse a second
    // copy: the next starts once it is gone.
    if (const HWND running = FindWindowW(nullptr, names::kNotifyHostWindowTitle)) {
        if (running == closingNotifyHost_ && notifyHostWaits_++ < kNotifyHostCloseWaits)
            SetTimer(GetSafeHwnd(), kNotifyHostStartTimer, kNotifyHostCloseCheckMs, nullptr);
        return;
    }
    closingNotifyHost_ = nullptr;
    notifyHostWaits_ = 0;
    const std::wstring program = JoinPath(ProgramFolder(), names::kNotifyHostExe);
    ShellExecuteW(nullptr, L"open", program.c_str(), nullptr, nullptr, SW_SHOW);
}

void CCorvidhidDlg::CloseNotifyHost() {
    KillTimer(GetSafeHwnd(), kNotifyHostStartTimer);
    notifyHostWaits_ = 0;
    closingNotifyHost_ = FindWindowW(nullptr, names::kNotifyHostWindowTitle);
    if (closingNotifyHost_) PostMessageW(closingNotifyHost_, WM_CLOSE, 0, 0);
}

LRESULT CCorvidhidDlg::OnSessionChange(WPARAM wParam, LPARAM lParam) {
    // Any program can post this message: only news of this session is acted on, and a
    // connect only while this session holds the console.
    DWORD session = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &session) || static_cast<DWORD>(lParam) != session) return 0;
    switch (wParam) {
        case WTS_CONSOLE_CONNECT:
            if (WTSGetActiveConsoleSessionId() == session && OpenDevice())
                SetTimer(GetSafeHwnd(), kReconnectTimer, kNotifyHostDelayMs, nullptr);
            break;
        case WTS_CONSOLE_DISCONNECT:
            KillTimer(GetSafeHwnd(), kReconnectTimer);
            SavePlugState(0);
            break;
        default: break;
    }
    return 0;
}

void CCorvidhidDlg::OnReconnected() {
    KillTimer(GetSafeHwnd(), kReconnectTimer);
    StartNotifyHost();
    SavePlugState(1);
}

LRESULT CCorvidhidDlg::OnInputReportsWaiting(WPARAM, LPARAM) {
    // Reports lost to a full queue get no lines of their own: one line tells of them.
    if (const std::size_t dropped = PendingReports.TakeDropped())
        DebugLine("%u input reports dropped: %u were waiting\n", static_cast<unsigned>(dropped),
                  static_cast<unsigned>(kHandoffCapacity));
    // The wake-up carries nothing: whoever posted it, only queued copies are handled.
    for (int handled = 0; handled < kReportsPerWake; ++handled) {
        const auto report = PendingReports.Take();
        if (!report) return 0;
        OnInputReport(report->DeviceId, report->Bytes.data(), report->Length);
    }
    PendingReports.WakeForRest(&PostWake);
    return 0;
}
