#pragma once
// Whether a path names something that exists, and of which kind.
#include <string>

// An existing file; false for a folder.
bool FileExists(const std::wstring& path);
// An existing folder; false for a file.
bool FolderExists(const std::wstring& path);
