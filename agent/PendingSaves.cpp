#include "PendingSaves.h"

#include <algorithm>
#include <utility>

#include "IniText.h"

void PendingSaves::Add(const IniEntry& key, std::optional<SettingsToolNotice> notice) {
    const auto same = std::find_if(keys_.begin(), keys_.end(), [&](const IniEntry& waiting) {
        return SameIniName(waiting.Section, key.Section) && SameIniName(waiting.Key, key.Key);
    });
    if (same != keys_.end())
        same->Value = key.Value;
    else
        keys_.push_back(key);
    if (notice) notices_.push_back(*notice);
}

std::vector<SettingsToolNotice> PendingSaves::Saved() {
    keys_.clear();
    return std::exchange(notices_, {});
}
