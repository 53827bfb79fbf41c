#pragma once
// Path texts in Windows form (backslash separators), handled as strings so that the
// portable code can test them.
#include <cstddef>
#include <string>
#include <string_view>

// The classic Windows path limit, terminating zero included.
inline constexpr std::size_t kMaxPathChars = 260;

inline bool FitsMaxPath(std::wstring_view path) { return path.size() < kMaxPathChars; }

// The folder of a file path, ending with a backslash ("C:\a\b.exe" -> "C:\a\"); empty
// when the path names no folder.
std::wstring FolderOf(std::wstring_view filePath);

// Joins a folder and a name with exactly one backslash between them.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);
