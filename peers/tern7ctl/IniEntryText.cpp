#include "IniEntryText.h"

namespace {

bool HasLineBreakOrZero(std::wstring_view text) {
    return text.find_first_of(std::wstring_view(L"\r\n\0", 3)) != text.npos;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The profile functions trim blanks around names, so such a name would be stored as
// another one.
bool HasOuterBlanks(std::wstring_view text) { return IsBlank(text.front()) || IsBlank(text.back()); }

}  // namespace

std::optional<std::wstring> ProblemWithSectionName(std::wstring_view section) {
    if (section.empty()) return L"the section name is empty";
    if (HasLineBreakOrZero(section) || section.find(L']') != section.npos || HasOuterBlanks(section))
        return L"the section name cannot hold line breaks, ']' or outer blanks";
    return std::nullopt;
}

std::optional<std::wstring> ProblemWithKeyName(std::wstring_view key) {
    if (key.empty()) return L"the key name is empty";
    if (HasLineBreakOrZero(key) || key.find(L'=') != key.npos || key.front() == L'[' || key.front() == L';' ||
        HasOuterBlanks(key))
        return L"the key name cannot hold line breaks, '=', outer blanks, or begin with '[' or ';'";
    return std::nullopt;
}

std::optional<std::wstring> ProblemWithValue(std::wstring_view value) {
    if (HasLineBreakOrZero(value)) return L"the value cannot hold line breaks";
    return std::nullopt;
}

std::vector<std::wstring> SplitNameList(std::wstring_view list) {
    std::vector<std::wstring> names;
    while (!list.empty() && list.front() != L'\0') {
        const std::size_t end = list.find(L'\0');
        names.emplace_back(list.substr(0, end));
        if (end == list.npos) break;
        list.remove_prefix(end + 1);
    }
    return names;
}
