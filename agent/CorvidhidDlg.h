#pragma once
// The agent's hidden main window: its only event loop, the owner of the settings images,
// the mouse registry key and the link to the mouse.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "HidApiLibrary.h"
#include "HidDeviceLibrary.h"
#include "IniWrites.h"
#include "MessageMap.h"
#include "OsdNotice.h"
#include "PendingSaves.h"
#include "ProgressDlg.h"
#include "RegistryKey.h"
#include "RequestQueue.h"
#include "SettingsImage.h"
#include "SettingsUpload.h"
#include "Wnd.h"
#include "ZoomPacing.h"

class CCorvidhidDlg : public CWnd {
public:
    CCorvidhidDlg();
    ~CCorvidhidDlg() override;

    // Creates the hidden window; the start-up sequence runs inside.
    bool Create();

    // The link to the mouse.
    int OpenDevice();
    void StartNotifyHost();
    void CloseNotifyHost();
    LRESULT OnSessionChange(WPARAM wParam, LPARAM lParam);

    // An input report of the mouse, on the GUI thread (report holds at least 9 bytes).
    void OnInputReport(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length);

    // A profile (n 1..3) or CPI level (n 1..4) that the mouse switched to: announced,
    // stored and reported, after any request that runs.
    void OnDeviceModeChange(int n, ModeKind kind);
    void StoreCpiLevel(int level);
    void SelectProfile(int index);
    // "Plug" in config.ini: whether a mouse is found and set up.
    void SavePlugState(int plugged);

    // Uploads to the mouse.
    settings_tool::ApplyResult UploadProfile(int profileIndex);
    settings_tool::ApplyResult UploadGlobalSettings();

    // Pause after every write to the mouse, in milliseconds.
    int WriteDelay = kWriteDelayMs;
    // Nonzero while the HID library is started for the mouse.
    int DeviceOpen = 0;
    SettingsImage CurrentSettings{};
    SettingsImage AppliedSettings{};

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnApplySettings(WPARAM wParam, LPARAM lParam);
    LRESULT OnReserved(WPARAM wParam, LPARAM lParam);
    LRESULT OnInputReportsWaiting(WPARAM wParam, LPARAM lParam);
    LRESULT OnZoomWaiting(WPARAM wParam, LPARAM lParam);

    void OnDeviceMonitor(WPARAM wParam, LPARAM lParam);
    // Runs the request now, or after the one that runs; a close asked for meanwhile
    // follows the last of them.
    void RunRequest(const AgentRequest& request);
    void ApplySettings(std::uintptr_t token);
    void ChangeMode(int n, ModeKind kind);
    // The identifier uploads go to, starting the link if needed; none without a mouse.
    std::optional<std::uint32_t> UploadTarget();
    // Starts the library afresh, its list of identifiers with it.
    void RelinkDevice();
    // The pause after a console connect is over.
    void OnReconnected();
    void CloseProgressWindow();
    // The display program's notices, with this window's timer for its starts.
    void ShowNotice(int code, int value, NoticeForm form);

    // Saves a key of config.ini, with the notice that tells the settings tool it is
    // saved; when the file is busy, it waits with the keys before it for the next try.
    void SaveSetting(const IniEntry& key, std::optional<SettingsToolNotice> notice = std::nullopt);
    // Tries what waits to be written: the first-run copy, the keys, the start-up
    // write-back. What fails is tried again later, ever more rarely.
    void FlushConfigWrites();
    // Makes this window the target of the input callback, or stops the library and clears
    // the target so that a late call reaches nothing.
    void AcceptInputReports();
    void RefuseInputReports();

    static const MessageMapEntry<CCorvidhidDlg> kMessageMap[];

    // The timers of this window. 100 is not the agent's own: another party may deliver
    // it, and gets a Tab press.
    static constexpr UINT_PTR kTabTimer = 100;
    static constexpr UINT_PTR kOsdRetryTimer = 101;
    static constexpr UINT_PTR kConfigWriteTimer = 102;
    static constexpr UINT_PTR kReconnectTimer = 103;
    static constexpr UINT_PTR kNotifyHostStartTimer = 104;

    // The mouse is given this long after it was taken before the tray companion starts.
    static constexpr UINT kNotifyHostDelayMs = 2000;
    // A companion asked to close is looked for this often, this many times at most.
    static constexpr UINT kNotifyHostCloseCheckMs = 100;
    static constexpr int kNotifyHostCloseWaits = 50;

    RegistryKey mouseKey_;
    HidDeviceLibrary hidDevice_;
    HidApiLibrary hidApi_;
    // Shown only while an apply command runs.
    std::unique_ptr<CProgressDlg> progress_;
    RequestQueue requests_;
    OsdNotices osdNotices_;
    ZoomPacing zoomPacing_;
    bool zoomPosted_ = false;
    bool closeAfterRequests_ = false;

    // config.ini writes that wait for the file to be free.
    PendingSaves pendingSaves_;
    bool userConfigPending_ = false;
    bool writeBackPending_ = false;
    bool writeBackLoadsImages_ = true;
    UINT configRetryMs_ = 0;

    // The tray companion asked to close, whose window may still be there when the mouse is
    // taken again; the next one starts once it is gone.
    HWND closingNotifyHost_ = nullptr;
    int notifyHostWaits_ = 0;
};

// HidDevice.dll's input callback, safe on any thread. Reports arriving on any thread but
// the GUI thread are copied and handed over to it; all agent state is touched there only.
void TERN7_STDCALL DeviceInputCallback(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length);

// Private message: input reports wait in the agent's own queue. It carries nothing.
inline constexpr UINT kMsgInputReportsWaiting = WM_APP + 1;
// Private message: zoom reports wait for their step. It carries nothing either.
inline constexpr UINT kMsgZoomWaiting = WM_APP + 2;
