#pragma once
// What the window edits: the settings as config.ini last held them and the user's edited
// copy. Whatever differs between the two is unsaved.
#include "SettingsImage.h"

class SettingsEditor {
public:
    // Starts from a loaded (validated) image.
    explicit SettingsEditor(const SettingsImage& loaded) : saved_(loaded), edited_(loaded) {}

    const SettingsImage& Saved() const { return saved_; }
    const SettingsImage& Edited() const { return edited_; }
    SettingsImage& Edit() { return edited_; }
    bool Unsaved() const { return !(edited_ == saved_); }

    // The agent changed "Profile" and the profiles' "DPI" in the file: takes those from
    // a fresh load; where the user had edited the same field, the edit stays.
    void TakeAgentChanges(const SettingsImage& fresh);

    // Every field of one profile, or of the whole image, back to DefaultSettings.
    void RestoreProfileDefaults(int profile);
    void RestoreAllDefaults();

    // The edited image as the agent will load it. False when validation had to change
    // something: the edited copy then holds the corrected values.
    bool ValidateEdits();
    // The edited image is in the file now.
    void MarkSaved() { saved_ = edited_; }

private:
    SettingsImage saved_;
    SettingsImage edited_;
};
