#include "IniWrites.h"

#include <algorithm>

namespace {

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool SameName(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return FoldAscii(x) == FoldAscii(y); });
}

}  // namespace

std::vector<IniEntry> EntriesThatChange(const IniText& file, std::span<const IniEntry> entries) {
    std::vector<IniEntry> changing;
    for (const IniEntry& entry : entries) {
        // The latest planned write of the key stands for its value from then on.
        const auto planned = std::find_if(changing.rbegin(), changing.rend(), [&](const IniEntry& earlier) {
            return SameName(earlier.Section, entry.Section) && SameName(earlier.Key, entry.Key);
        });
        const std::wstring* current = planned != changing.rend() ? &planned->Value : file.StoredValue(entry.Section, entry.Key);
        if (!current || *current != entry.Value) changing.push_back(entry);
    }
    return changing;
}
