#pragma once
// The agent's two launches for the mouse: the on-screen display program with a notice,
// and the program bound to a button.
#include "config/SettingsImage.h"

// ShowOsd against the real display: the window "Ovix Pelora Tern-7 OSD", OSD.exe beside
// the agent, gated by settings.TrayEnabled.
void ShowOsdNotice(const SettingsImage& settings, int code, int value, int valueFlag);

// Opens the Path of button slot 0..7 of the current profile; other slots and empty paths
// open nothing.
void RunProgram(const SettingsImage& settings, int slot);
