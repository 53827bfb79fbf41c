#pragma once
// The agent's two launches for the mouse: the on-screen display program with a notice,
// and the program bound to a button.
#include <windows.h>

#include "OsdNotice.h"
#include "SettingsImage.h"

// The owner's timer that ends the pause after a start of the display program.
inline constexpr UINT_PTR kOsdRetryTimer = 101;

// A notice on the real display: the window "Ovix Pelora Tern-7 OSD", OSD.exe beside the
// agent, gated by settings.TrayEnabled. The owner window's kOsdRetryTimer must call
// RetryOsdNotice.
void ShowOsdNotice(OsdNotices& notices, HWND owner, const SettingsImage& settings, int code, int value,
                   int valueFlag);
void RetryOsdNotice(OsdNotices& notices, HWND owner);

// Opens the Path of button slot 0..7 of the current profile; other slots and empty paths
// open nothing.
void RunProgram(const SettingsImage& settings, int slot);
