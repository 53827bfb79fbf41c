#include "SystemError.h"

#include <cwchar>
#include <iterator>

std::wstring SystemErrorText(const wchar_t* operation, DWORD error) {
    wchar_t* buffer = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring message = buffer ? buffer : L"";
    LocalFree(buffer);
    // The system's messages end with a line break.
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    wchar_t code[16];
    std::swprintf(code, std::size(code), L"0x%08lX", static_cast<unsigned long>(error));
    std::wstring text = std::wstring(operation) + L" failed: " + code;
    if (!message.empty()) text += L" " + message;
    return text;
}

void TraceSystemError(const wchar_t* operation, DWORD error) {
    const DWORD lastError = GetLastError();
    OutputDebugStringW(SystemErrorText(operation, error).c_str());
    SetLastError(lastError);
}

void TraceSystemError(const wchar_t* operation, const std::wstring& object, DWORD error) {
    TraceSystemError((std::wstring(operation) + L" " + object).c_str(), error);
}
