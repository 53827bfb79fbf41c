#pragma once
// Scratch folders and files for the Windows tests.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "PathChecks.h"

// A new, empty folder under the temporary folder, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, ending with a backslash.
    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// The build's folder of the programs and files as they ship, as Wine shows it.
std::wstring DistFolder();

// A scratch folder laid out as a program's install folder from files of the build.
class ProgramFolder : public ScratchFolder {
public:
    // Copies name ("hid.exe") from the folder from, as `as` when given; a name that is a
    // folder ("skins") is made with copies of its files. False when anything was not copied.
    bool Add(const std::wstring& name, const std::wstring& from = DistFolder(), const std::wstring& as = {}) const;
    bool AddAll(std::initializer_list<const wchar_t*> names, const std::wstring& from = DistFolder()) const;
};

void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// A link at link to the folder target: a junction on Windows. Wine makes neither junctions
// nor symbolic links, but shows a Unix symbolic link to a folder as a folder that is a
// reparse point; that is made there instead. False when neither could be made.
bool CreateDirectoryLink(const std::wstring& link, const std::wstring& target);
std::string ReadFileBytes(const std::wstring& path);
void RemoveTree(const std::wstring& folder);
// The names of the files in folder that match pattern ("~*.tmp").
std::vector<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern);
// Makes link a symbolic link to the file target (under Wine a Unix link, which Wine
// follows); false when the system refuses.
bool MakeFileLink(const std::wstring& link, const std::wstring& target);

// A path of the build, which the tests are given as a host path, as Wine shows it: on
// drive Z:, with backslashes. HostFolder ends it with a backslash.
std::wstring HostPath(const char* path);
std::wstring HostFolder(const char* path);
