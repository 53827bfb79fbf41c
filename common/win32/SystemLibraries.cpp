#include "SystemLibraries.h"

#include "ModulePaths.h"
#include "PathText.h"
#include "SystemError.h"

void RestrictDllSearch() {
    // Takes the current folder out of the search on every system.
    SetDllDirectoryW(L"");
    // Windows 7 has this only with its security update, so it is looked up, not imported.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
    const std::wstring folder = SystemFolder();
    if (folder.empty()) return nullptr;
    return LoadLibraryExW(JoinPath(folder, fileName).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadTrustedLibrary(const wchar_t* fileName) {
    // The DLL's own dependencies come from its folder and the system folder too.
    constexpr DWORD kSearch = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
    bool found = false;
    for (const std::wstring& folder : {ProgramFolder(), SystemFolder()}) {
        if (folder.empty()) continue;
        const std::wstring path = JoinPath(folder, fileName);
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        found = true;
        if (HMODULE module = LoadLibraryExW(path.c_str(), nullptr, kSearch)) return module;
        TraceSystemError(L"LoadLibrary", path);
    }
    if (!found) TraceSystemError(L"LoadLibrary", fileName, ERROR_MOD_NOT_FOUND);
    return nullptr;
}
