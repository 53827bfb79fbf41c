#pragma once
// The agent's process-wide state. Touched on the GUI thread only; the input callback
// reaches the window through AgentWindow and hands reports over to that thread.
#include "DeviceIdList.h"

class CCorvidhidDlg;

// The profile index (0..2) the mouse last selected with its own profile key, or -1.
extern int ActiveGroup;
// The identifiers the HID library reported open, in the order it reported them.
extern DeviceIdList AttachedDeviceIds;
// The agent's main window; set while it is created, before the HID library starts, and
// cleared after the library is stopped, before the window goes.
extern CCorvidhidDlg* AgentWindow;
