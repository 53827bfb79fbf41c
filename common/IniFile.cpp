#include "IniFile.h"

#include <windows.h>

#include <algorithm>

#include "StructEncoding.h"

void IniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& text) const {
    WritePrivateProfileStringW(section.c_str(), key.c_str(), text.c_str(), path_.c_str());
    // Flushes the system's profile cache for this file.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str());
}

void IniFile::WriteInt(const std::wstring& section, const std::wstring& key, int value) const {
    WriteString(section, key, std::to_wstring(value));
}

void IniFile::WriteStruct(const std::wstring& section, const std::wstring& key,
                          std::span<const std::uint8_t> bytes) const {
    WriteString(section, key, EncodeStruct(bytes));
}

bool IniFile::ReadRaw(const std::wstring& section, const std::wstring& key, std::wstring& value) const {
    // A default that no settings tool writes tells a missing key from an empty one.
    static constexpr wchar_t kMissing[] = L"\x7F(missing)\x7F";
    std::wstring buffer(kMaxStringChars + 1, L'\0');
    const DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), kMissing, buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), path_.c_str());
    buffer.resize(std::min<std::size_t>(length, kMaxStringChars));
    if (buffer == kMissing) return false;
    value = std::move(buffer);
    return true;
}
