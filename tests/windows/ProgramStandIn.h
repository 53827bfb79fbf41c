#pragma once
// What the stand-in for the agent's programs records in "<name>.log": "launch" at every
// start, then as the tray companion "running", "refused" (a second instance) and "closed"
// (WM_CLOSE). It records "mark" for kStandInMark: its messages are handled in the order
// they were posted, so once a mark posted after some message is recorded, so is that one.
#include <windows.h>

inline constexpr UINT kStandInMark = WM_APP + 1;
