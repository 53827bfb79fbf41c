#pragma once
// Checks on the texts of one config.ini entry, and the name lists the profile functions
// return. An entry is one line "Key=Value" under "[Section]"; a text that breaks that
// shape would write a different entry, or several, than the one asked for.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Each returns why the text cannot be used, or nothing when it can.
std::optional<std::wstring> ProblemWithSectionName(std::wstring_view section);
std::optional<std::wstring> ProblemWithKeyName(std::wstring_view key);
std::optional<std::wstring> ProblemWithValue(std::wstring_view value);

// The names in a list of zero-terminated texts ended by an empty one ("a\0b\0\0").
std::vector<std::wstring> SplitNameList(std::wstring_view list);
