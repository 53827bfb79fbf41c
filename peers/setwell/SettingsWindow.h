#pragma once
// The settings window: every value of config.ini on three pages, Apply/OK/Cancel, the
// agent's answer to an apply, and the agent's own profile and CPI changes as they come.
#include <windows.h>

#include <optional>

#include "ApplyStatus.h"
#include "Dialog.h"
#include "SettingsEditor.h"

class CSettingsWindow : public CDialog {
public:
    // loaded: config.ini as the agent would load it.
    explicit CSettingsWindow(const SettingsImage& loaded) : editor_(loaded) {}

    bool Create();
    // Ctrl+Tab and Ctrl+Page Down go to the next page, with Shift or Page Up back.
    bool TranslatePageKeys(const MSG& message);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    HWND Item(int id) const { return GetDlgItem(GetSafeHwnd(), id); }
    int EditedProfile() const;
    int SelectedButton() const;
    ProfileSettings& EditedGroup();
    ButtonAssignment& EditedButton();

    void FillLists();
    void ShowPage(int page);
    // Model to controls: everything, or only what the selected button shows.
    void ShowValues();
    void ShowButton();
    void ShowUnsaved();
    void EnableButtonDetails();
    void SetStatus(ApplyState state);

    // Controls to model, for the control that changed.
    void OnCommand(int id, int code);
    void OnTrackbar(HWND trackbar);
    void OnKey(WPARAM virtualKey, LPARAM keyData);
    void SetRecording(bool recording);
    void Browse();

    // Writes config.ini and asks the agent to upload it; closeWhenDone closes the window
    // once the mouse took it.
    void Apply(bool closeWhenDone);
    // The save of an apply, tried again while another program holds the file's lock.
    void SaveAndAskAgent();
    void OnApplyDone(WPARAM token, LPARAM result);
    void OnAnswerTimeout();
    void OnAgentChangedSettings();
    // The window's close box and the agent's WM_CLOSE: asks about unsaved changes.
    void OnClose();

    SettingsEditor editor_;
    ApplyState state_ = ApplyState::Idle;
    // Sent with the apply command and carried back by its answer; an answer with another
    // token is a late or forged one.
    std::uintptr_t applyToken_ = 0;
    std::uintptr_t lastToken_ = GetTickCount();
    int saveTries_ = 0;
    bool closeWhenDone_ = false;
    bool showing_ = false;  // controls are being filled: their notifications are not edits
    bool recording_ = false;
};
