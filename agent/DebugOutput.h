#pragma once
// Diagnostic lines for a debugger; the agent logs nothing anywhere else.
#include <windows.h>

#include <cstdio>
#include <iterator>

template <class... Args>
void DebugLine(const wchar_t* format, Args... args) {
    wchar_t line[160];
    std::swprintf(line, std::size(line), format, args...);
    OutputDebugStringW(line);
}
