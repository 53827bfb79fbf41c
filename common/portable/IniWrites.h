#pragma once
// Key writes planned against a file's text before any of them is made, so that a file
// they would not change is not written at all.
#include <span>
#include <string>
#include <vector>

#include "IniText.h"

struct IniEntry {
    std::wstring Section;
    std::wstring Key;
    std::wstring Value;
};

// The entries, in their order, that change the file: a write of the value a key already
// holds leaves the file as it is, so it is dropped. A key written more than once is
// judged by what the earlier writes made of it.
std::vector<IniEntry> EntriesThatChange(const IniText& file, std::span<const IniEntry> entries);
