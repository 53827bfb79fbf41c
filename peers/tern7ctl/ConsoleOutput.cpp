#include "ConsoleOutput.h"

#include <windows.h>

#include <string>

namespace {

std::string Utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

void WriteLine(DWORD stream, std::wstring_view text) {
    const HANDLE handle = GetStdHandle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        // A console takes the text as it is, whatever its code page.
        const std::wstring line = std::wstring(text) + L"\r\n";
        DWORD written = 0;
        WriteConsoleW(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
    const std::string line = Utf8(text) + "\r\n";
    DWORD written = 0;
    WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace

void PrintLine(std::wstring_view text) { WriteLine(STD_OUTPUT_HANDLE, text); }

void PrintError(std::wstring_view text) { WriteLine(STD_ERROR_HANDLE, text); }
