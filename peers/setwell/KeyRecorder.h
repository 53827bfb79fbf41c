#pragma once
// The "SetwellKeyRecorder" control: shows its window text and, while recording, takes
// every key (Tab, Enter and Escape too) and tells its parent of each press and release
// with kKeyRecorderKey.
#include <windows.h>

// To the parent: wParam the virtual-key code, lParam the key message's lParam (bit 31
// set for a release, bit 24 for an extended key).
inline constexpr UINT kKeyRecorderKey = WM_APP + 1;
// From the parent: wParam nonzero starts recording, zero stops it.
inline constexpr UINT kKeyRecorderSetRecording = WM_APP + 2;
// To the parent when the focus leaves the control while it records; wParam is the window
// that takes the focus. The parent decides whether recording ends.
inline constexpr UINT kKeyRecorderFocusLost = WM_APP + 3;

bool RegisterKeyRecorderClass(HINSTANCE instance);
