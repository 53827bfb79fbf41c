#include "DataFolders.h"

#include <windows.h>
#include <shlobj.h>

#include "ModulePaths.h"
#include "PathText.h"
#include "ProgramNames.h"

namespace {

std::wstring dataFolder;

std::wstring RoamingAppDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return {};
    return folder;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void ResolveDataFolders() {
    const std::wstring appData = RoamingAppDataFolder();
    std::wstring folder;
    if (!appData.empty()) folder = JoinPath(JoinPath(appData, names::kDataFolderName), L"");
    // A config.ini path the profile functions cannot take would lose every setting.
    if (folder.empty() || !FitsMaxPath(JoinPath(folder, names::kConfigFile))) folder = ProgramFolder();
    dataFolder = std::move(folder);
}

void EnsureUserConfig() {
    if (FileExists(JoinPath(dataFolder, names::kConfigFile))) return;
    const std::wstring programFolder = ProgramFolder();
    SHCreateDirectoryExW(nullptr, JoinPath(dataFolder, L"Profiles").c_str(), nullptr);
    SHCreateDirectoryExW(nullptr, JoinPath(dataFolder, L"Macros").c_str(), nullptr);
    // Settings written into a folder that cannot exist would all be lost; the program's
    // own files serve instead.
    if (!FolderExists(dataFolder)) {
        dataFolder = programFolder;
        return;
    }
    for (const wchar_t* name : {names::kConfigFile, names::kMacroListFile}) {
        CopyFileW(JoinPath(programFolder, name).c_str(), JoinPath(dataFolder, name).c_str(), TRUE);
    }
}

const std::wstring& DataFolder() { return dataFolder; }

IniFile UserConfig() { return IniFile(JoinPath(dataFolder, names::kConfigFile)); }
