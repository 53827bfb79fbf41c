#include "PathText.h"

std::wstring FolderOf(std::wstring_view filePath) {
    const auto slash = filePath.find_last_of(L"\\/");
    if (slash == std::wstring_view::npos) return {};
    return std::wstring(filePath.substr(0, slash + 1));
}

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path.push_back(L'\\');
    path.append(name);
    return path;
}
