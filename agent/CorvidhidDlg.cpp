#include "CorvidhidDlg.h"

#include <wtsapi32.h>

#include <algorithm>

#include "AgentState.h"
#include "ConfigFile.h"
#include "DataFolders.h"
#include "PointerRegistry.h"
#include "ProgramNames.h"
#include "SettingsToolContract.h"
#include "SystemImports.h"

namespace {

// Reserved by the agent's message table; answered 0.
constexpr UINT kMsgReserved = 1284;

// A write that found config.ini busy is tried again after this, then ever more rarely:
// a file that stays unwritable costs a read now and then, not one a second.
constexpr UINT kFirstRetryMs = 500;
constexpr UINT kLongestRetryMs = 32000;

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
    {kMsgZoomWaiting, &CCorvidhidDlg::OnZoomWaiting},
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
    userConfigPending_ = !EnsureUserConfig();
    hidApi_.Load();
    hidDevice_.Load();
    AcceptInputReports();
    mouseKey_.Open(std::wstring(L"HKEY_CURRENT_USER\\") + pointer_registry::kMouseKey, KEY_ALL_ACCESS);

    // A file that cannot be read now leaves the defaults to work with; they are written
    // nowhere, and the write-back below loads the user's settings once it can.
    if (LoadSettings(UserConfig(), CurrentSettings)) CurrentSettings = DefaultSettings();
    AppliedSettings = CurrentSettings;

    // No taskbar button.
    SetWindowLongPtrW(GetSafeHwnd(), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    // Console connects and disconnects arrive as WM_WTSSESSION_CHANGE.
    system_imports::WTSRegisterSessionNotification(GetSafeHwnd(), NOTIFY_FOR_THIS_SESSION);

    DeviceOpen = 0;
    DeviceOpen = OpenDevice();
    if (DeviceOpen) {
        Sleep(kNotifyHostDelayMs);
        StartNotifyHost();
    }
    // The write-back reloads from the file as it stands after the pause, so both images
    // follow what the settings tool saved meanwhile; it is written after "Plug".
    writeBackPending_ = true;
    SavePlugState(DeviceOpen ? 1 : 0);
    return 0;
}

void CCorvidhidDlg::SaveSetting(const IniEntry& key, std::optional<SettingsToolNotice> notice) {
    const bool waiting = !pendingSaves_.Empty();
    pendingSaves_.Add(key, notice);
    if (!waiting) {
        FlushConfigWrites();
        return;
    }
    // Behind keys that wait, it waits too: they are tried again together, in order, soon,
    // however long the file has been busy.
    configRetryMs_ = kFirstRetryMs;
    SetTimer(GetSafeHwnd(), kConfigWriteTimer, configRetryMs_, nullptr);
}

void CCorvidhidDlg::FlushConfigWrites() {
    const IniFile config = UserConfig();
    // A file of keys alone would stop the first-run copy: the copy comes first.
    if (userConfigPending_) userConfigPending_ = !EnsureUserConfig();
    if (!userConfigPending_ && !pendingSaves_.Empty() && !SaveKeys(config, pendingSaves_.Keys(), L"SaveSettings")) {
        for (const SettingsToolNotice& notice : pendingSaves_.Saved()) {
            if (HWND tool = FindWindowW(nullptr, names::kSettingsToolWindowTitle))
                PostMessageW(tool, notice.Message, notice.WParam, 0);
        }
    }
    if (!userConfigPending_ && pendingSaves_.Empty() && writeBackPending_) {
        // Until the start-up write-back or an apply has read the file, the images follow
        // the write-back; after that they are the apply's to decide, even when the file
        // was busy at start-up and is written back only now.
        SettingsImage fromFile{};
        const auto writeRegistry = [](const SettingsImage& loaded) { WritePointerRegistryValues(loaded); };
        if (!PersistSettings(config, writeBackLoadsImages_ ? CurrentSettings : fromFile, writeRegistry)) {
            writeBackPending_ = false;
            if (writeBackLoadsImages_) AppliedSettings = CurrentSettings;
            writeBackLoadsImages_ = false;
        }
    }

    if (!userConfigPending_ && pendingSaves_.Empty() && !writeBackPending_) {
        KillTimer(GetSafeHwnd(), kConfigWriteTimer);
        configRetryMs_ = 0;
        return;
    }
    configRetryMs_ = configRetryMs_ ? std::min(configRetryMs_ * 2, kLongestRetryMs) : kFirstRetryMs;
    SetTimer(GetSafeHwnd(), kConfigWriteTimer, configRetryMs_, nullptr);
}

void CCorvidhidDlg::SavePlugState(int plugged) { SaveSetting(PlugStateKey(plugged)); }

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
            ApplySettings(next->Token);
        else
            ChangeMode(next->N, next->Mode);
    }
    if (closeAfterRequests_) {
        closeAfterRequests_ = false;
        PostMessageW(GetSafeHwnd(), WM_CLOSE, 0, 0);
    }
}

LRESULT CCorvidhidDlg::OnDestroy(WPARAM wParam, LPARAM lParam) {
    RefuseInputReports();
    system_imports::WTSUnRegisterSessionNotification(GetSafeHwnd());
    // Saves that still wait get a last try: they are the user's, and go with the process.
    if (!pendingSaves_.Empty()) FlushConfigWrites();
    KillTimer(GetSafeHwnd(), kConfigWriteTimer);
    PostCloseTo(names::kSettingsToolWindowTitle);
    PostCloseTo(names::kNotifyHostWindowTitle);
    Sleep(1000);
    CloseProgressWindow();
    return Default(WM_DESTROY, wParam, lParam);
}

LRESULT CCorvidhidDlg::OnDeviceChange(WPARAM, LPARAM) { return TRUE; }

LRESULT CCorvidhidDlg::OnReserved(WPARAM, LPARAM) { return 0; }
