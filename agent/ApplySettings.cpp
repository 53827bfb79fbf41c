// The apply command: the settings tool saved config.ini and asks for it to take effect on
// the desktop and in the mouse.
#include <memory>

#include "AgentState.h"
#include "ConfigFile.h"
#include "CorvidhidDlg.h"
#include "DataFolders.h"
#include "HidReportWriter.h"
#include "MuteState.h"
#include "PointerSettings.h"
#include "ProgramNames.h"
#include "ProgressDlg.h"
#include "SettingsToolContract.h"

std::optional<std::uint32_t> CCorvidhidDlg::UploadTarget() {
    if (!DeviceOpen && !OpenDevice()) return std::nullopt;
    if (AttachedDeviceIds.Count() < 2) return std::nullopt;
    return AttachedDeviceIds.WriteTarget();
}

settings_tool::ApplyResult CCorvidhidDlg::UploadProfile(int profileIndex) {
    const std::optional<std::uint32_t> target = UploadTarget();
    if (!target) return settings_tool::kApplyNoDevice;
    HidReportWriter writer(hidDevice_);
    return WriteProfileReports(writer, *target, CurrentSettings, profileIndex, WriteDelay);
}

settings_tool::ApplyResult CCorvidhidDlg::UploadGlobalSettings() {
    const std::optional<std::uint32_t> target = UploadTarget();
    if (!target) return settings_tool::kApplyNoDevice;
    HidReportWriter writer(hidDevice_);
    return WriteGlobalSettingsReport(writer, *target, CurrentSettings, WriteDelay);
}

LRESULT CCorvidhidDlg::OnApplySettings(WPARAM wParam, LPARAM) {
    RunRequest({AgentRequest::Kind::Apply, 0, ModeKind::CpiLevel, wParam});
    return 0;
}

void CCorvidhidDlg::ApplySettings(std::uintptr_t token) {
    progress_ = std::make_unique<CProgressDlg>();
    progress_->Create(GetSafeHwnd());
    progress_->ShowCentred();

    // A file that cannot be read gives nothing to apply: the desktop and the mouse keep
    // what they have, and so do both images. The answer is the one of a mouse that kept
    // its settings.
    const bool loaded = LoadSettings(UserConfig(), CurrentSettings) == 0;
    if (loaded) writeBackLoadsImages_ = false;
    progress_->SetProgress(10);
    settings_tool::ApplyResult result = settings_tool::kApplyWriteFailed;
    if (loaded) {
        ApplyPointerSettings(CurrentProfile(CurrentSettings), mouseKey_, GetSafeHwnd());
        progress_->SetProgress(30);

        if (!DeviceOpen) OpenDevice();
        result = settings_tool::kApplyNoDevice;
        if (AttachedDeviceIds.Count() >= 2) {
            result = UploadProfile(CurrentSettings.Profile);
            progress_->SetProgress(70);
            if (result == settings_tool::kApplySent) result = UploadGlobalSettings();
            if (result == settings_tool::kApplyWriteFailed) RelinkDevice();
        }
    }
    progress_->SetProgress(100);
    Sleep(kApplyFinalPauseMs);

    // The token of the command comes back with its answer, so that the settings tool can
    // tell it from a late or forged one.
    if (HWND tool = FindWindowW(nullptr, names::kSettingsToolWindowTitle))
        PostMessageW(tool, settings_tool::kMsgApplyDone, token, result);

    // A mouse that refused the upload keeps what it had, and so does the agent; config.ini
    // keeps the settings tool's values either way.
    if (loaded) {
        if (result == settings_tool::kApplyWriteFailed)
            CurrentSettings = AppliedSettings;
        else
            AppliedSettings = CurrentSettings;
    }
    ActiveGroup = -1;

    CloseProgressWindow();
    ReleaseAudioObjects();
}

void CCorvidhidDlg::RelinkDevice() {
    // The upload may have gone to an identifier that no collection of the library holds
    // (an open notice another program forged). A fresh start lists only what the library
    // opens: the close notices of the stop are dropped with the list they would shorten.
    hidDevice_.Stop();
    MSG notice{};
    while (PeekMessageW(&notice, GetSafeHwnd(), hid::kMsgDeviceMonitor, hid::kMsgDeviceMonitor, PM_REMOVE)) {
    }
    AttachedDeviceIds = DeviceIdList{};
    DeviceOpen = 0;
    // The opens of the start arrive as notices; with no mouse there, none comes.
    if (!OpenDevice()) CloseNotifyHost();
}

void CCorvidhidDlg::CloseProgressWindow() {
    if (!progress_) return;
    progress_->Close();
    progress_.reset();
}
