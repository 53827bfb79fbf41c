#pragma once
// Why a system call failed, for a debugger: where a failure turns into a fallback value,
// the line says which call it was and what the system says about it.
#include <windows.h>

#include <string>

// "<operation> failed: 0x%08X <the system's message for error>", the message without its
// line break; just the code when the system has no message for it.
std::wstring SystemErrorText(const wchar_t* operation, DWORD error);

// SystemErrorText to the debugger output. The last error is as it was afterwards.
void TraceSystemError(const wchar_t* operation, DWORD error = GetLastError());
// The same with what the operation was on (a path, a name) after the operation.
void TraceSystemError(const wchar_t* operation, const std::wstring& object, DWORD error = GetLastError());
