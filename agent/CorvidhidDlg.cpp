#include "CorvidhidDlg.h"

#include <wtsapi32.h>

#include "AgentState.h"
#include "ConfigFile.h"
#include "DataFolders.h"
#include "ProgramNames.h"
#include "SettingsToolContract.h"
#include "SystemImports.h"

namespace {

// Reserved by the agent's message table; answered 0.
constexpr UINT kMsgReserved = 1284;

void PostCloseTo(const wchar_t* title) {
    if (HWND window = FindWindowW(nullptr, title)) PostMessageW(window, WM_CLOSE, 0, 0);
}

}  // namespace

const MessageMapEntry<CCorvidhidDlg> CCorvidhidDlg::kMessageMap[] = {
    {WM_CREATE, &CCorvidhidDlg::OnCreate},
    {WM_DESTROY, &CCorvidhidDlg::OnDestroy},
    {WM_CLOSE, &CCorvidhidDlg::OnClose},
    {WM_TIMER, &CCorvidhidDlg::OnTimer},
    {WM_DEVICECHANGE, &CCorvidhidDlg::OnDeviceChange},
    {WM_WTSSESSION_CHANGE, &CCorvidhidDlg::OnSessionChange},
    {settings_tool::kMsgApplySettings, &CCorvidhidDlg::OnApplySettings},
    {kMsgReserved, &CCorvidhidDlg::OnReserved},
    {kMsgInputReportsWaiting, &CCorvidhidDlg::OnInputReportsWaiting},
};

CCorvidhidDlg::CCorvidhidDlg() = default;

// Normally done on WM_DESTROY; a window that never got it must not stay the callback's target.
CCorvidhidDlg::~CCorvidhidDlg() {
    if (AgentWindow == this) RefuseInputReports();
}

bool CCorvidhidDlg::Create() {
    // WS_POPUP alone: the window is never shown.
    return CreateEx(0, names::kAgentWindowTitle, WS_POPUP, 100, 100, 100, 100);
}

bool CCorvidhidDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // Seen before the table, then left to default processing.
    if (message == hid::kMsgDeviceMonitor) OnDeviceMonitor(wParam, lParam);
    return RouteMessage<CCorvidhidDlg>(*this, kMessageMap, message, wParam, lParam, result);
}

LRESULT CCorvidhidDlg::OnCreate(WPARAM wParam, LPARAM lParam) {
    if (Default(WM_CREATE, wParam, lParam) == -1) return -1;

    ResolveDataFolders();
    EnsureUserConfig();
    hidApi_.Load();
    hidDevice_.Load();
    AcceptInputReports();
    mouseKey_.Open(L"HKEY_CURRENT_USER\\Control Panel\\Mouse", KEY_ALL_ACCESS);

    const IniFile config = UserConfig();
    LoadSettings(config, CurrentSettings);
    AppliedSettings = CurrentSettings;

    // No taskbar button.
    SetWindowLongPtrW(GetSafeHwnd(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    // Console connects and disconnects arrive as WM_WTSSESSION_CHANGE.
    system_imports::WTSRegisterSessionNotification(GetSafeHwnd(), NOTIFY_FOR_THIS_SESSION);

    DeviceOpen = 0;
    DeviceOpen = OpenDevice();
    if (DeviceOpen) {
        Sleep(2000);
        StartNotifyHost();
    }
    SavePlugState(config, DeviceOpen ? 1 : 0);
    // Reloads from the file as it stands after the pause, so both images follow what the
    // settings tool saved meanwhile.
    PersistSettings(config, CurrentSettings);
    AppliedSettings = CurrentSettings;
    return 0;
}

LRESULT CCorvidhidDlg::OnClose(WPARAM wParam, LPARAM lParam) {
    // Sent while a request waits on a broadcast, it would pull the window from under it.
    if (requests_.Busy()) {
        closeAfterRequests_ = true;
        return 0;
    }
    return Default(WM_CLOSE, wParam, lParam);
}

void CCorvidhidDlg::RunRequest(const AgentRequest& request) {
    if (!requests_.Admit(request)) return;
    for (std::optional<AgentRequest> next = request; next; next = requests_.Finish()) {
        if (next->What == AgentRequest::Kind::Apply)
            ApplySettings();
        else
            ChangeMode(next->N, next->ModeKind);
    }
    if (closeAfterRequests_) {
        closeAfterRequests_ = false;
        PostMessageW(GetSafeHwnd(), WM_CLOSE, 0, 0);
    }
}

LRESULT CCorvidhidDlg::OnDestroy(WPARAM wParam, LPARAM lParam) {
    RefuseInputReports();
    system_imports::WTSUnRegisterSessionNotification(GetSafeHwnd());
    PostCloseTo(names::kSettingsToolWindowTitle);
    PostCloseTo(names::kNotifyHostWindowTitle);
    Sleep(1000);
    CloseProgressWindow();
    return Default(WM_DESTROY, wParam, lParam);
}

LRESULT CCorvidhidDlg::OnDeviceChange(WPARAM, LPARAM) { return TRUE; }

LRESULT CCorvidhidDlg::OnReserved(WPARAM, LPARAM) { return 0; }
