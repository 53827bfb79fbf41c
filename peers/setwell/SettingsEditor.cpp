#include "SettingsEditor.h"

namespace {

void TakeUnlessEdited(int& edited, int& saved, int fresh) {
    if (edited == saved) edited = fresh;
    saved = fresh;
}

}  // namespace

void SettingsEditor::TakeAgentChanges(const SettingsImage& fresh) {
    TakeUnlessEdited(edited_.Profile, saved_.Profile, fresh.Profile);
    for (int g = 0; g < kProfileCount; ++g)
        TakeUnlessEdited(edited_.Groups[g].DPI, saved_.Groups[g].DPI, fresh.Groups[g].DPI);
}

void SettingsEditor::RestoreProfileDefaults(int profile) {
    if (profile < 0 || profile >= kProfileCount) return;
    edited_.Groups[profile] = DefaultSettings().Groups[profile];
}

void SettingsEditor::RestoreAllDefaults() {
    // The number of buttons describes the mouse, not a preference.
    const int mouseButtons = edited_.MouseButtons;
    edited_ = DefaultSettings();
    edited_.MouseButtons = mouseButtons;
}

bool SettingsEditor::ValidateEdits() {
    const SettingsImage before = edited_;
    ValidateSettings(edited_);
    return edited_ == before;
}
