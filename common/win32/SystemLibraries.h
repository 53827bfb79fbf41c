#pragma once
// Where the programs take their DLLs from. A DLL that Windows looks up by name may be
// found in the program's folder or the current folder first, where anyone who can write
// there could plant one; the programs therefore look in the system folder only, and load
// the system DLLs that are not among Windows' known DLLs by their full path.
#include <windows.h>

// First thing in every program: DLLs loaded by name come from the system folder only.
void RestrictDllSearch();

// A DLL of the system folder, by its full path; it stays loaded. Null when missing.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

// A DLL that comes with the program: from the program folder, else from the system
// folder, never from any other place of the search path.
HMODULE LoadTrustedLibrary(const wchar_t* fileName);

// A function of a system-folder DLL; null when the DLL or the function is missing.
template <class Function>
Function SystemFunction(const wchar_t* fileName, const char* name) {
    const HMODULE module = LoadSystemLibrary(fileName);
    if (!module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
