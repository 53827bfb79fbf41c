#include "ValueLabels.h"

#include "SettingsImage.h"

std::wstring CpiLevelLabel(int level) {
    return std::to_wstring(level) + L" (" + std::to_wstring(CpiOfLevel(level)) + L" CPI)";
}

std::wstring PollingRateLabel(int step) { return std::to_wstring(1000 >> step) + L" reports per second"; }
