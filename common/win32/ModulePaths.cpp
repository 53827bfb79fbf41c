#include "ModulePaths.h"

#include "PathText.h"

std::wstring ModuleFileName(HMODULE module) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        // A full buffer means the name was cut; try again with room to spare.
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        if (name.size() >= 32768) return {};
        name.resize(name.size() * 2);
    }
}

std::wstring ProgramFolder() { return FolderOf(ModuleFileName()); }

std::wstring SystemFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    const UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length == 0 || length >= folder.size()) return {};
    folder.resize(length);
    return JoinPath(folder, L"");
}
