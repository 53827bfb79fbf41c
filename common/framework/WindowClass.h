#pragma once
// Window classes registered by the code that owns their window procedure.
#include <windows.h>

// Registers a class of default attributes (no class style, cursor, background or icon)
// in module; true also when the module already has it.
bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HINSTANCE module);

// The program or DLL whose code holds address: a DLL must register its classes in its
// own module, or another module's class of the same name would take its windows.
HINSTANCE ModuleOf(const void* address);
