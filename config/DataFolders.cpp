#include "DataFolders.h"

#include <windows.h>
#include <shlobj.h>

#include "ConfigFile.h"
#include "ConfigLock.h"
#include "Handles.h"
#include "ModulePaths.h"
#include "PathChecks.h"
#include "PathText.h"
#include "ProgramNames.h"
#include "SystemError.h"
#include "WorkingCopy.h"

namespace {

std::wstring dataFolder;

std::wstring RoamingAppDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    const HRESULT result =
        SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder);
    if (FAILED(result)) {
        TraceSystemError(L"SHGetFolderPath", static_cast<DWORD>(result));
        return {};
    }
    return folder;
}

// A folder that is there already is no fault.
void CreateFolder(const std::wstring& path) {
    const int error = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    if (error != ERROR_SUCCESS && error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
        TraceSystemError(L"SHCreateDirectoryEx", path, static_cast<DWORD>(error));
}

// Copies into a file beside the target and renames it into place, never over an existing
// file: a copy cut short must not stand as the user's file and mark the first run done.
void CopyIntoPlace(const std::wstring& from, const std::wstring& to) {
    std::wstring copy;
    UniqueKernelHandle created;
    DWORD error = CreateWorkingCopy(to, copy, created);
    if (error) {
        ReportConfigFailure(L"EnsureUserConfig", IniFile(to), error);
        return;
    }
    created.reset();
    if (!CopyFileW(from.c_str(), copy.c_str(), FALSE)) error = LastErrorOr(ERROR_OPEN_FAILED);
    if (!error) error = FlushToDisk(copy);
    if (!error && !MoveFileExW(copy.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH))
        error = LastErrorOr(ERROR_ACCESS_DENIED);
    if (!error) return;
    DeleteFileW(copy.c_str());
    // A missing default or a file the user already has is no fault.
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_ALREADY_EXISTS &&
        error != ERROR_FILE_EXISTS)
        ReportConfigFailure(L"EnsureUserConfig", IniFile(to), error);
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

bool EnsureUserConfig(DWORD lockWaitMs) {
    if (FileExists(JoinPath(dataFolder, names::kConfigFile))) return true;
    // The other programs may make the same copy, or write the file, at the same moment.
    const ConfigLock lock(lockWaitMs);
    if (!lock.Held()) {
        ReportConfigFailure(L"EnsureUserConfig", UserConfig(), ERROR_TIMEOUT);
        return false;
    }
    if (FileExists(JoinPath(dataFolder, names::kConfigFile))) return true;
    const std::wstring programFolder = ProgramFolder();
    CreateFolder(JoinPath(dataFolder, L"Profiles"));
    CreateFolder(JoinPath(dataFolder, L"Macros"));
    // Settings written into a folder that cannot exist would all be lost; the program's
    // own files serve instead.
    if (!FolderExists(dataFolder)) {
        dataFolder = programFolder;
        return true;
    }
    for (const wchar_t* name : {names::kConfigFile, names::kMacroListFile}) {
        CopyIntoPlace(JoinPath(programFolder, name), JoinPath(dataFolder, name));
    }
    return true;
}

const std::wstring& DataFolder() { return dataFolder; }

IniFile UserConfig() { return IniFile(JoinPath(dataFolder, names::kConfigFile)); }
