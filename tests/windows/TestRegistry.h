#pragma once
// A registry key of its own for each test, below HKEY_CURRENT_USER\Software\Tern7Tests.
#include <windows.h>

#include <atomic>
#include <string>

class ScratchKey {
public:
    ScratchKey() {
        static std::atomic<int> counter{0};
        subkey_ =
            L"Software\\Tern7Tests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    }
    ~ScratchKey() { RegDeleteTreeW(HKEY_CURRENT_USER, subkey_.c_str()); }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    const std::wstring& Subkey() const { return subkey_; }
    std::wstring FullPath() const { return L"HKEY_CURRENT_USER\\" + subkey_; }

private:
    std::wstring subkey_;
};

// The raw value: its type, its size in bytes and its text.
struct RegistryValue {
    DWORD Type = REG_NONE;
    DWORD Bytes = 0;
    std::wstring Text;
    bool Exists = false;
};

inline RegistryValue QueryValue(HKEY root, const std::wstring& subkey, const wchar_t* name) {
    RegistryValue value;
    wchar_t buffer[1024] = {};
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    if (RegGetValueW(root, subkey.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.Type, buffer, &bytes) ==
        ERROR_SUCCESS) {
        value.Exists = true;
        value.Bytes = bytes;
        value.Text = buffer;
    }
    return value;
}

inline void SetValue(HKEY root, const std::wstring& subkey, const wchar_t* name, const std::wstring& text) {
    RegSetKeyValueW(root, subkey.c_str(), name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
}
