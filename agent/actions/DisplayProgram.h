#pragma once
// The agent's two launches for the mouse: the on-screen display program with a notice,
// and the program bound to a button.
#include <windows.h>

#include "OsdNotice.h"
#include "SettingsImage.h"

// The display program's window, "Ovix Pelora Tern-7 OSD", and OSD.exe beside the agent,
// for notices; the owner's timer ends the pause after a start of the program.
struct OsdOwner {
    HWND Window;
    UINT_PTR RetryTimer;
};

// A notice on the real display, gated by settings.TrayEnabled. The owner's timer must call
// RetryOsdNotice.
void ShowOsdNotice(OsdNotices& notices, OsdOwner owner, const SettingsImage& settings, int code, int value,
                   NoticeForm form);
void RetryOsdNotice(OsdNotices& notices, OsdOwner owner);

// Opens the Path of button slot 0..7 of the current profile; other slots and empty paths
// open nothing.
void RunProgram(const SettingsImage& settings, int slot);
