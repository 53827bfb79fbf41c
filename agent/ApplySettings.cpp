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

int CCorvidhidDlg::UploadProfile(int profileIndex) {
    const std::optional<std::uint32_t> target = UploadTarget();
    if (!target) return settings_tool::kApplyNoDevice;
    HidReportWriter writer(hidDevice_);
    return ::UploadProfile(writer, *target, CurrentSettings, profileIndex, WriteDelay);
}

int CCorvidhidDlg::UploadGlobalSettings() {
    const std::optional<std::uint32_t> target = UploadTarget();
    if (!target) return settings_tool::kApplyNoDevice;
    HidReportWriter writer(hidDevice_);
    return ::UploadGlobalSettings(writer, *target, CurrentSettings, WriteDelay);
}

LRESULT CCorvidhidDlg::OnApplySettings(WPARAM, LPARAM) {
    RunRequest({AgentRequest::Kind::Apply});
    return 0;
}

void CCorvidhidDlg::ApplySettings() {
    progress_ = std::make_unique<CProgressDlg>();
    progress_->Create(GetSafeHwnd());
    progress_->ShowCentred();

    LoadSettings(UserConfig(), CurrentSettings);
    progress_->SetProgress(10);
    ApplyPointerSettings(CurrentProfile(CurrentSettings), mouseKey_, GetSafeHwnd());
    progress_->SetProgress(30);

    if (!DeviceOpen) OpenDevice();
    int result = settings_tool::kApplyNoDevice;
    if (AttachedDeviceIds.Count() >= 2) {
        result = UploadProfile(CurrentSettings.Profile);
        progress_->SetProgress(70);
        if (result == settings_tool::kApplySent) result = UploadGlobalSettings();
    }
    progress_->SetProgress(100);
    Sleep(kApplyFinalPauseMs);

    if (HWND tool = FindWindowW(nullptr, names::kSettingsToolWindowTitle))
        PostMessageW(tool, settings_tool::kMsgApplyDone, 0, result);

    // A mouse that refused the upload keeps what it had, and so does the agent; config.ini
    // keeps the settings tool's values either way.
    if (result == settings_tool::kApplyWriteFailed)
        CurrentSettings = AppliedSettings;
    else
        AppliedSettings = CurrentSettings;
    ActiveGroup = -1;

    CloseProgressWindow();
    ReleaseAudioObjects();
}

void CCorvidhidDlg::CloseProgressWindow() {
    if (!progress_) return;
    progress_->Close();
    progress_.reset();
}
