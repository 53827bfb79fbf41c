#pragma once
// Registry access: a key opened from one full path text, and two helpers for the
// pointer values written at start-up.
#include <windows.h>

#include <string>

#include "Handles.h"

class RegistryKey {
public:
    // Longest value, in bytes, that ReadString accepts.
    static constexpr DWORD kMaxValueBytes = 260;

    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens (or else creates) the key named by a path such as
    // "HKEY_CURRENT_USER\Control Panel\Mouse"; 1 on success, 0 when both fail.
    int Open(const std::wstring& path, REGSAM access);
    // The text of a value of at most kMaxValueBytes; 1 on success, 0 when no key is open,
    // the value is missing or it is longer.
    int ReadString(const wchar_t* valueName, std::wstring& text) const;
    // Stores the text as REG_SZ; 1 on success, 0 on failure.
    int WriteString(const wchar_t* valueName, const std::wstring& text) const;
    void Close();

    bool IsOpen() const { return static_cast<bool>(key_); }
    HKEY Root() const { return root_; }
    const std::wstring& SubkeyPath() const { return subkey_; }

private:
    UniqueHKey key_;
    HKEY root_ = nullptr;
    std::wstring subkey_;
};

// Opens the subkey with full access, or else creates it. ERROR_SUCCESS or the system's
// error code; the key is the caller's.
LSTATUS OpenOrCreateKey(HKEY root, const wchar_t* subkey, UniqueHKey& key);

// Stores the text as REG_SZ: its characters and one terminating zero.
LSTATUS SetStringValue(HKEY key, const wchar_t* valueName, const std::wstring& text);
