#pragma once
// How the window names stored steps.
#include <string>

// CPI level 1..4: "3 (1500 CPI)".
std::wstring CpiLevelLabel(int level);
// Polling-rate step 0..2: the mouse sends a report every 1 << step milliseconds.
std::wstring PollingRateLabel(int step);
