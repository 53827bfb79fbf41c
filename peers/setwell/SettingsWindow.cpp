#include "SettingsWindow.h"

#include <commctrl.h>
#include <commdlg.h>

#include <array>
#include <string>

#include "ButtonFunctions.h"
#include "ConfigFile.h"
#include "DataFolders.h"
#include "KeyRecorder.h"
#include "KeySequence.h"
#include "ProgramNames.h"
#include "SettingsToolContract.h"
#include "SetwellIds.h"
#include "ValueLabels.h"

namespace {

constexpr UINT_PTR kAnswerTimer = 1;
constexpr UINT_PTR kSaveTimer = 2;
// While another program holds config.ini's lock, the save is tried this often, for ten
// seconds.
constexpr UINT kSaveRetryMs = 500;
constexpr int kSaveTries = 20;
constexpr wchar_t kQuestionTitle[] = L"Tern-7 settings";

void AddItem(HWND combo, const std::wstring& text, LPARAM data) {
    const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
}

// Selects the item that carries data; false when there is none.
bool SelectData(HWND combo, LPARAM data) {
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) == data) {
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return true;
        }
    }
    return false;
}

LPARAM SelectedData(HWND combo) {
    const LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
}

void SetChecked(HWND box, bool checked) { SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }
bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetTrackbar(HWND trackbar, int low, int high, int value) {
    SendMessageW(trackbar, TBM_SETRANGE, FALSE, MAKELPARAM(low, high));
    SendMessageW(trackbar, TBM_SETPOS, TRUE, value);
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A page's controls, by the id ranges of SetwellIds.h.
int PageOfControl(int id) {
    if (id < SETWELL_FIRST_PAGE_ID || id >= SETWELL_FIRST_PAGE_ID + 100 * SETWELL_PAGE_COUNT) return -1;
    return (id - SETWELL_FIRST_PAGE_ID) / 100;
}

}  // namespace

bool CSettingsWindow::Create() {
    return RegisterKeyRecorderClass(GetModuleHandleW(nullptr)) && CDialog::Create(IDD_SETTINGS, nullptr);
}

bool CSettingsWindow::TranslatePageKeys(const MSG& message) {
    if (message.message != WM_KEYDOWN || recording_ || !(GetKeyState(VK_CONTROL) & 0x8000)) return false;
    if (!IsChild(GetSafeHwnd(), message.hwnd) && message.hwnd != GetSafeHwnd()) return false;
    int step = 0;
    if (message.wParam == VK_TAB) step = (GetKeyState(VK_SHIFT) & 0x8000) ? -1 : 1;
    if (message.wParam == VK_NEXT) step = 1;
    if (message.wParam == VK_PRIOR) step = -1;
    if (step == 0) return false;
    const int current = static_cast<int>(SendMessageW(Item(IDC_TABS), TCM_GETCURSEL, 0, 0));
    ShowPage((current + step + SETWELL_PAGE_COUNT) % SETWELL_PAGE_COUNT);
    SetFocus(Item(IDC_TABS));  // the focused control may have gone with its page
    return true;
}

bool CSettingsWindow::OnInitDialog() {
    const HWND window = GetSafeHwnd();
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_SETWELL));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    const wchar_t* pages[SETWELL_PAGE_COUNT] = {L"General", L"Pointer and sensor", L"Buttons"};
    for (int i = 0; i < SETWELL_PAGE_COUNT; ++i) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(pages[i]);
        SendMessageW(Item(IDC_TABS), TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(Item(IDC_PATH), EM_LIMITTEXT, kPathUnits - 1, 0);
    SendMessageW(Item(IDC_MACRO_NAME), EM_LIMITTEXT, kMacroNameUnits - 1, 0);
    FillLists();
    SelectData(Item(IDC_EDIT_PROFILE), editor_.Edited().Profile);
    SendMessageW(Item(IDC_BUTTON), CB_SETCURSEL, 0, 0);
    ShowValues();
    ShowPage(0);
    ShowWindow(window, SW_SHOW);
    return true;
}

void CSettingsWindow::FillLists() {
    for (int p = 0; p < kProfileCount; ++p) {
        AddItem(Item(IDC_EDIT_PROFILE), L"Profile " + std::to_wstring(p + 1), p);
        AddItem(Item(IDC_ACTIVE_PROFILE), L"Profile " + std::to_wstring(p + 1), p);
    }
    for (int step = 0; step <= 2; ++step) AddItem(Item(IDC_POLLING_RATE), PollingRateLabel(step), step);
    for (int level = 1; level <= 4; ++level) AddItem(Item(IDC_CPI), CpiLevelLabel(level), level);
    for (int lines = 1; lines <= 10; ++lines) AddItem(Item(IDC_WHEEL_LINES), std::to_wstring(lines), lines);
    for (int mode = 0; mode <= 3; ++mode) {
        AddItem(Item(IDC_LIGHT), L"Mode " + std::to_wstring(mode), mode);
        AddItem(Item(IDC_FLASH), L"Mode " + std::to_wstring(mode), mode);
    }
    for (int hand = 0; hand <= 2; ++hand) AddItem(Item(IDC_SELECT_HAND), L"Setting " + std::to_wstring(hand), hand);
    for (int b = 0; b < kButtonCount; ++b) AddItem(Item(IDC_BUTTON), L"Button " + std::to_wstring(b + 1), b);
    for (const ButtonFunctionChoice& choice : ButtonFunctionChoices())
        AddItem(Item(IDC_FUNCTION), choice.Name, choice.ButtonFunc);
}

int CSettingsWindow::EditedProfile() const {
    const LPARAM profile = SelectedData(Item(IDC_EDIT_PROFILE));
    return profile >= 0 && profile < kProfileCount ? static_cast<int>(profile) : 0;
}

int CSettingsWindow::SelectedButton() const {
    const LPARAM button = SelectedData(Item(IDC_BUTTON));
    return button >= 0 && button < kButtonCount ? static_cast<int>(button) : 0;
}

ProfileSettings& CSettingsWindow::EditedGroup() { return editor_.Edit().Groups[EditedProfile()]; }
ButtonAssignment& CSettingsWindow::EditedButton() { return EditedGroup().Buttons[SelectedButton()]; }

void CSettingsWindow::ShowPage(int page) {
    SendMessageW(Item(IDC_TABS), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    for (HWND child = GetWindow(GetSafeHwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int childPage = PageOfControl(GetDlgCtrlID(child));
        if (childPage >= 0) ShowWindow(child, childPage == page ? SW_SHOWNA : SW_HIDE);
    }
}

void CSettingsWindow::ShowValues() {
    showing_ = true;
    const SettingsImage& image = editor_.Edited();
    const ProfileSettings& group = image.Groups[EditedProfile()];
    SelectData(Item(IDC_ACTIVE_PROFILE), image.Profile);
    SelectData(Item(IDC_POLLING_RATE), image.PollingRate);
    SetChecked(Item(IDC_TRAY_ENABLED), image.TrayEnabled == 1);
    SelectData(Item(IDC_CPI), group.DPI);
    SetTrackbar(Item(IDC_POINTER_SPEED), 1, 10, group.MouseSensitivity);
    SetTrackbar(Item(IDC_DOUBLE_CLICK), 0, 10, group.DoubleClickSpeed);
    SelectData(Item(IDC_WHEEL_LINES), group.WheelScrollLines);
    SetChecked(Item(IDC_UNIVERSAL_SCROLL), group.UniversalScrollEnabled == 1);
    SetChecked(Item(IDC_ACCELERATION), group.AccelerationEnabled == 1);
    SetChecked(Item(IDC_SEPARATE_XY), group.XYSensitivityEnabled == 1);
    SetTrackbar(Item(IDC_SENSITIVITY), 0, 10, group.OFASensitivity);
    SetTrackbar(Item(IDC_SPEED_X), 0, 10, group.MouseSpeedX);
    SetTrackbar(Item(IDC_SPEED_Y), 0, 10, group.MouseSpeedY);
    const bool separate = group.XYSensitivityEnabled == 1;
    EnableWindow(Item(IDC_SENSITIVITY), !separate);
    EnableWindow(Item(IDC_SPEED_X), separate);
    EnableWindow(Item(IDC_SPEED_Y), separate);
    SelectData(Item(IDC_LIGHT), group.LedState);
    SelectData(Item(IDC_FLASH), group.FlashState);
    SelectData(Item(IDC_SELECT_HAND), group.SelectHand);
    showing_ = false;
    ShowButton();
    ShowUnsaved();
}

void CSettingsWindow::ShowButton() {
    showing_ = true;
    const ButtonAssignment& button = EditedButton();
    const HWND functions = Item(IDC_FUNCTION);
    if (!SelectData(functions, button.ButtonFunc)) {
        // A code the list does not offer stays what it is until the user picks another.
        AddItem(functions, ButtonFunctionName(button.ButtonFunc), button.ButtonFunc);
        SelectData(functions, button.ButtonFunc);
    }
    SetWindowTextW(Item(IDC_PATH), std::wstring(FieldText(button.Path)).c_str());
    SetWindowTextW(Item(IDC_MACRO_NAME), std::wstring(FieldText(button.MacroName)).c_str());
    SetWindowTextW(Item(IDC_KEYS), KeySequenceText(button).c_str());
    showing_ = false;
    EnableButtonDetails();
}

void CSettingsWindow::EnableButtonDetails() {
    const std::uint8_t func = EditedButton().ButtonFunc;
    EnableWindow(Item(IDC_PATH), func == kRunProgramFunc);
    EnableWindow(Item(IDC_BROWSE), func == kRunProgramFunc);
    EnableWindow(Item(IDC_KEYS), func == kKeySequenceFunc);
    EnableWindow(Item(IDC_RECORD), func == kKeySequenceFunc);
    EnableWindow(Item(IDC_CLEAR_KEYS), func == kKeySequenceFunc);
}

void CSettingsWindow::ShowUnsaved() { SetWindowTextW(Item(IDC_UNSAVED), editor_.Unsaved() ? L"Unsaved changes" : L""); }

void CSettingsWindow::SetStatus(ApplyState state) {
    state_ = state;
    SetWindowTextW(Item(IDC_STATUS), ApplyStateText(state).c_str());
    const bool updating = state == ApplyState::Updating || state == ApplyState::FileBusy;
    EnableWindow(Item(IDC_APPLY), !updating);
    EnableWindow(Item(IDOK), !updating);
}

void CSettingsWindow::OnCommand(int id, int code) {
    if (showing_) return;
    ProfileSettings& group = EditedGroup();
    const auto selected = [&](int control) { return static_cast<int>(SelectedData(Item(control))); };
    const bool changed = code == CBN_SELCHANGE || code == BN_CLICKED || code == EN_CHANGE;
    if (!changed) return;
    switch (id) {
        case IDC_EDIT_PROFILE:
            SetRecording(false);
            ShowValues();
            return;
        case IDC_BUTTON:
            SetRecording(false);
            ShowButton();
            return;
        case IDC_ACTIVE_PROFILE: editor_.Edit().Profile = selected(id); break;
        case IDC_POLLING_RATE: editor_.Edit().PollingRate = selected(id); break;
        case IDC_TRAY_ENABLED: editor_.Edit().TrayEnabled = Checked(Item(id)) ? 1 : 0; break;
        case IDC_CPI: group.DPI = selected(id); break;
        case IDC_WHEEL_LINES: group.WheelScrollLines = selected(id); break;
        case IDC_UNIVERSAL_SCROLL: group.UniversalScrollEnabled = Checked(Item(id)) ? 1 : 0; break;
        case IDC_ACCELERATION: group.AccelerationEnabled = Checked(Item(id)) ? 1 : 0; break;
        case IDC_SEPARATE_XY:
            group.XYSensitivityEnabled = Checked(Item(id)) ? 1 : 0;
            ShowValues();
            break;
        case IDC_LIGHT: group.LedState = selected(id); break;
        case IDC_FLASH: group.FlashState = selected(id); break;
        case IDC_SELECT_HAND: group.SelectHand = selected(id); break;
        case IDC_FUNCTION:
            SetRecording(false);
            EditedButton().ButtonFunc = static_cast<std::uint8_t>(selected(id));
            EnableButtonDetails();
            break;
        case IDC_PATH:
            if (code != EN_CHANGE) return;
            SetFieldText(EditedButton().Path, WindowText(Item(id)));
            break;
        case IDC_MACRO_NAME:
            if (code != EN_CHANGE) return;
            SetFieldText(EditedButton().MacroName, WindowText(Item(id)));
            break;
        case IDC_BROWSE: Browse(); return;
        case IDC_RECORD: SetRecording(!recording_); return;
        case IDC_CLEAR_KEYS:
            SetRecording(false);
            ClearKeySequence(EditedButton());
            ShowButton();
            break;
        case IDC_RESTORE_PROFILE:
            editor_.RestoreProfileDefaults(EditedProfile());
            ShowValues();
            break;
        case IDC_RESTORE_ALL:
            editor_.RestoreAllDefaults();
            ShowValues();
            break;
        case IDC_APPLY: Apply(false); return;
        default: return;
    }
    ShowUnsaved();
}

void CSettingsWindow::OnTrackbar(HWND trackbar) {
    if (showing_) return;
    ProfileSettings& group = EditedGroup();
    const int position = static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
    switch (GetDlgCtrlID(trackbar)) {
        case IDC_POINTER_SPEED: group.MouseSensitivity = position; break;
        case IDC_DOUBLE_CLICK: group.DoubleClickSpeed = position; break;
        case IDC_SENSITIVITY: group.OFASensitivity = position; break;
        case IDC_SPEED_X: group.MouseSpeedX = position; break;
        case IDC_SPEED_Y: group.MouseSpeedY = position; break;
        default: return;
    }
    ShowUnsaved();
}

void CSettingsWindow::SetRecording(bool recording) {
    if (recording_ == recording) return;
    recording_ = recording;
    if (recording) {
        ClearKeySequence(EditedButton());
        ShowButton();
        ShowUnsaved();
    }
    SendMessageW(Item(IDC_KEYS), kKeyRecorderSetRecording, recording ? 1 : 0, 0);
    SetWindowTextW(Item(IDC_RECORD), recording ? L"Stop" : L"Recor&d");
    if (recording) SetFocus(Item(IDC_KEYS));
}

void CSettingsWindow::OnKey(WPARAM virtualKey, LPARAM keyData) {
    if (!recording_) return;
    const bool release = (keyData & (1L << 31)) != 0;
    const bool extended = (keyData & (1L << 24)) != 0;
    ButtonAssignment& button = EditedButton();
    const std::uint8_t usage = KeyUsageOfVirtualKey(static_cast<unsigned>(virtualKey), extended);
    const bool full = !AppendKeyEvent(button, usage, release) && usage != 0;
    SetWindowTextW(Item(IDC_KEYS), KeySequenceText(button).c_str());
    ShowUnsaved();
    if (full || button.KeyNumber >= kKeyDataEntries) {
        SetRecording(false);
        SetFocus(Item(IDC_RECORD));
    }
}

void CSettingsWindow::Browse() {
    // A Path's size: a longer choice fails the dialog instead of being cut.
    std::array<wchar_t, kPathUnits> file = {};
    SetFieldText(file, FieldText(EditedButton().Path));
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = GetSafeHwnd();
    dialog.lpstrFilter = L"Programs\0*.exe;*.com;*.bat;*.cmd\0All files\0*.*\0";
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kPathUnits;
    dialog.lpstrTitle = L"Program to run";
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetOpenFileNameW(&dialog)) {
        SetWindowTextW(Item(IDC_PATH), file.data());  // EN_CHANGE stores it
    } else if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) {
        MessageBoxW(GetSafeHwnd(), L"The path of that program is longer than 259 characters.", kQuestionTitle,
                    MB_OK | MB_ICONWARNING);
    }
}

void CSettingsWindow::Apply(bool closeWhenDone) {
    if (state_ == ApplyState::Updating || state_ == ApplyState::FileBusy) return;
    SetRecording(false);
    if (!editor_.ValidateEdits()) ShowValues();  // what was out of range shows as the agent will use it
    closeWhenDone_ = closeWhenDone;
    saveTries_ = 0;
    SaveAndAskAgent();
}

void CSettingsWindow::SaveAndAskAgent() {
    KillTimer(GetSafeHwnd(), kSaveTimer);
    // The first-run copy comes first: it is what puts the user's folder in place.
    const unsigned long error = EnsureUserConfig() ? WriteConfigFile(UserConfig(), editor_.Edited()) : ERROR_TIMEOUT;
    if (error == ERROR_TIMEOUT && ++saveTries_ < kSaveTries) {
        SetStatus(ApplyState::FileBusy);
        SetTimer(GetSafeHwnd(), kSaveTimer, kSaveRetryMs, nullptr);
        return;
    }
    if (error) {
        closeWhenDone_ = false;
        SetStatus(ApplyState::SaveFailed);
        return;
    }
    editor_.MarkSaved();
    ShowUnsaved();

    // Never 0: a settings tool that knows no tokens sends 0.
    applyToken_ = ++lastToken_ ? lastToken_ : ++lastToken_;
    const HWND agent = FindWindowW(nullptr, names::kAgentWindowTitle);
    if (!agent || !PostMessageW(agent, settings_tool::kMsgApplySettings, applyToken_, 0)) {
        closeWhenDone_ = false;
        SetStatus(ApplyState::NoAgent);
        return;
    }
    SetStatus(ApplyState::Updating);
    SetTimer(GetSafeHwnd(), kAnswerTimer, kApplyAnswerTimeoutMs, nullptr);
}

void CSettingsWindow::OnApplyDone(WPARAM token, LPARAM result) {
    if (state_ != ApplyState::Updating || token != applyToken_) return;
    KillTimer(GetSafeHwnd(), kAnswerTimer);
    SetStatus(StateOfApplyResult(result));
    if (closeWhenDone_ && ApplySucceeded(state_)) {
        DestroyWindow();
        return;
    }
    closeWhenDone_ = false;
}

void CSettingsWindow::OnAnswerTimeout() {
    KillTimer(GetSafeHwnd(), kAnswerTimer);
    closeWhenDone_ = false;
    if (state_ == ApplyState::Updating) SetStatus(ApplyState::NoAnswer);
}

void CSettingsWindow::OnAgentChangedSettings() {
    SettingsImage fresh = editor_.Saved();
    LoadSettings(UserConfig(), fresh);
    editor_.TakeAgentChanges(fresh);
    ShowValues();
}

void CSettingsWindow::OnOK() { Apply(true); }

void CSettingsWindow::OnCancel() { DestroyWindow(); }

void CSettingsWindow::OnClose() {
    SetRecording(false);
    if (!editor_.Unsaved()) {
        DestroyWindow();
        return;
    }
    switch (MessageBoxW(GetSafeHwnd(), L"You have changes that are not applied. Apply them before closing?",
                        kQuestionTitle, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: Apply(true); break;
        case IDNO: DestroyWindow(); break;
        default: break;
    }
}

bool CSettingsWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
                return CDialog::OnMessage(message, wParam, lParam, result);
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return true;
        case WM_NOTIFY: {
            // The controls send theirs from this thread; one from elsewhere carries a
            // pointer into another program, or nowhere.
            if (InSendMessage()) return false;
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == IDC_TABS && header->code == TCN_SELCHANGE) {
                ShowPage(static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
                return true;
            }
            return false;
        }
        case WM_CTLCOLORSTATIC:
            // Labels, boxes and sliders of a page stand on the tab's body, not the dialog's face.
            if (PageOfControl(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))) < 0) return false;
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
            return true;
        case WM_HSCROLL:
            if (lParam) OnTrackbar(reinterpret_cast<HWND>(lParam));
            return true;
        case WM_TIMER:
            if (wParam == kAnswerTimer) OnAnswerTimeout();
            if (wParam == kSaveTimer) SaveAndAskAgent();
            return wParam == kAnswerTimer || wParam == kSaveTimer;
        case WM_CLOSE: OnClose(); return true;
        case kKeyRecorderKey: OnKey(wParam, lParam); return true;
        case kKeyRecorderFocusLost:
            // A click on Stop takes the focus first; the click itself ends the recording.
            if (reinterpret_cast<HWND>(wParam) != Item(IDC_RECORD)) SetRecording(false);
            return true;
        case settings_tool::kMsgApplyDone: OnApplyDone(wParam, lParam); return true;
        case settings_tool::kMsgProfileChanged:
        case settings_tool::kMsgCpiChanged: OnAgentChangedSettings(); return true;
        default: return false;
    }
}
