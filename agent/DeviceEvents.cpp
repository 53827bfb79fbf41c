// What the agent does when the mouse reports a button bound to a PC-side function:
// profile and CPI changes are stored, announced and reported to the settings tool; the
// rest goes to the PC-side actions.
#include <windows.h>

#include "AgentState.h"
#include "ConfigFile.h"
#include "CorvidhidDlg.h"
#include "DataFolders.h"
#include "DebugOutput.h"
#include "DisplayProgram.h"
#include "InputPlayer.h"
#include "InputReport.h"
#include "MuteState.h"
#include "OsdContract.h"
#include "PointerSettings.h"
#include "ProgramNames.h"
#include "SettingsToolContract.h"
#include "Zoom.h"

namespace {

void WriteReportLines(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length) {
    DebugLine("ID:%x,pBuffer=%x , Length=%x\n", deviceId,
              static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(report)), length);
    DebugLine("%02x %02x %02x %02x %02x %02x %02x %02x %02x\n", report[0], report[1], report[2], report[3], report[4],
              report[5], report[6], report[7], report[8]);
}

}  // namespace

void CCorvidhidDlg::OnInputReport(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length) {
    WriteReportLines(deviceId, report, length);
    const DeviceAction action = DecodeInputReport(report, length);
    switch (action.Kind) {
        case DeviceActionKind::SelectProfile:
            ActiveGroup = action.Value - 1;
            OnDeviceModeChange(action.Value, ModeKind::Profile);
            break;
        case DeviceActionKind::SetCpiLevel: OnDeviceModeChange(action.Value, ModeKind::CpiLevel); break;
        case DeviceActionKind::RunProgram: RunProgram(CurrentSettings, action.Value); break;
        case DeviceActionKind::ZoomIn:
        case DeviceActionKind::ZoomOut:
            // Stamped now and played from the window's queue, so that reports the library
            // hands over in a row do not wait behind each other's steps to be stamped.
            zoomPacing_.Arrived(action.Kind == DeviceActionKind::ZoomIn ? ZoomDirection::In : ZoomDirection::Out,
                                GetTickCount64());
            if (!zoomPosted_) zoomPosted_ = PostMessageW(GetSafeHwnd(), kMsgZoomWaiting, 0, 0);
            break;
        case DeviceActionKind::MediaNotice: ShowNotice(action.Value, 0, NoticeForm::Plain); break;
        case DeviceActionKind::MuteNotice:
            ShowNotice(GetMuteState() ? osd::kMuted : osd::kSoundOn, 0, NoticeForm::Plain);
            break;
        case DeviceActionKind::None: break;
    }
}

void CCorvidhidDlg::OnDeviceModeChange(int n, ModeKind kind) { RunRequest({AgentRequest::Kind::ModeChange, n, kind}); }

void CCorvidhidDlg::ChangeMode(int n, ModeKind kind) {
    if (kind == ModeKind::CpiLevel) {
        ShowNotice(osd::kCpi, CpiOfLevel(n), NoticeForm::Value);
        StoreCpiLevel(n);
    } else {
        ShowNotice(osd::kProfile1 + n - 1, 0, NoticeForm::Plain);
        SelectProfile(n - 1);
        ApplyPointerSettings(CurrentProfile(CurrentSettings), mouseKey_, GetSafeHwnd());
    }
}

void CCorvidhidDlg::ShowNotice(int code, int value, NoticeForm form) {
    ShowOsdNotice(osdNotices_, {GetSafeHwnd(), kOsdRetryTimer}, CurrentSettings, code, value, form);
}

void CCorvidhidDlg::StoreCpiLevel(int level) {
    const int group = ActiveGroup != -1 ? ActiveGroup : CurrentSettings.Profile;
    if (group < 0 || group >= kProfileCount) return;
    CurrentSettings.Groups[group].DPI = level;
    SaveSetting(GroupDpiKey(level, group),
                SettingsToolNotice{settings_tool::kMsgCpiChanged, static_cast<WPARAM>(level)});
}

void CCorvidhidDlg::SelectProfile(int index) {
    CurrentSettings.Profile = index;
    SaveSetting(CurrentProfileKey(index), SettingsToolNotice{settings_tool::kMsgProfileChanged, 0});
}

LRESULT CCorvidhidDlg::OnZoomWaiting(WPARAM, LPARAM) {
    // The wake-up carries nothing: whoever posted it, only stamped reports are played.
    zoomPosted_ = false;
    if (const std::optional<ZoomDirection> direction = zoomPacing_.Next(GetTickCount64())) ZoomAtCursor(*direction);
    // One step a message, so that the window's other messages are not held up by a backlog.
    if (!zoomPacing_.Empty()) zoomPosted_ = PostMessageW(GetSafeHwnd(), kMsgZoomWaiting, 0, 0);
    return 0;
}

LRESULT CCorvidhidDlg::OnTimer(WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
        case kTabTimer: PlayInput(TabPress()); break;
        case kOsdRetryTimer: RetryOsdNotice(osdNotices_, {GetSafeHwnd(), kOsdRetryTimer}); break;
        case kConfigWriteTimer: FlushConfigWrites(); break;
        case kReconnectTimer: OnReconnected(); break;
        case kNotifyHostStartTimer: StartNotifyHost(); break;
        default: break;
    }
    return Default(WM_TIMER, wParam, lParam);
}
