#include "SystemLibraries.h"

#include "ModulePaths.h"
#include "PathText.h"

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
