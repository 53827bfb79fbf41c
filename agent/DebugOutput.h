#pragma once
// Diagnostic lines for a debugger; the agent logs nothing anywhere else. The lines are
// ASCII, and the compiler checks each format against its arguments.
#include <windows.h>

#include <cstdarg>
#include <cstdio>

#if defined(__GNUC__)
inline void DebugLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
#endif
inline void DebugLine(const char* format, ...) {
    char line[160];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    OutputDebugStringA(line);
}
