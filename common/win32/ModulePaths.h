#pragma once
// Paths of the running program and of the system.
#include <windows.h>

#include <string>

// The full file name of a module of this process (the program itself by default), at
// whatever length the system reports it.
std::wstring ModuleFileName(HMODULE module = nullptr);

// The running program's folder, ending with a backslash.
std::wstring ProgramFolder();

// The system folder (System32), ending with a backslash.
std::wstring SystemFolder();
