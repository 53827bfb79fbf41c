#include "IniWrites.h"

#include <algorithm>

std::vector<IniEntry> EntriesThatChange(const IniText& file, std::span<const IniEntry> entries) {
    std::vector<IniEntry> changing;
    for (const IniEntry& entry : entries) {
        // The latest planned write of the key stands for its value from then on.
        const auto planned = std::find_if(changing.rbegin(), changing.rend(), [&](const IniEntry& earlier) {
            return SameIniName(earlier.Section, entry.Section) && SameIniName(earlier.Key, entry.Key);
        });
        const std::wstring* current =
            planned != changing.rend() ? &planned->Value : file.StoredValue(entry.Section, entry.Key);
        if (!current || *current != entry.Value) changing.push_back(entry);
    }
    return changing;
}
