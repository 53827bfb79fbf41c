#include "IniFile.h"

#include <windows.h>

#include <algorithm>

#include "DecimalText.h"
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

int IniFile::ReadInt(const std::wstring& section, const std::wstring& key, int defaultValue) const {
    std::wstring value;
    if (!ReadRaw(section, key, value)) return defaultValue;
    return ParseDecimal(value).value_or(defaultValue);
}

std::wstring IniFile::ReadString(const std::wstring& section, const std::wstring& key,
                                 const std::wstring& defaultText) const {
    std::wstring value;
    return ReadRaw(section, key, value) ? value : defaultText;
}

void IniFile::ReadStruct(const std::wstring& section, const std::wstring& key,
                         std::span<std::uint8_t> destination) const {
    std::wstring value;
    if (!ReadRaw(section, key, value)) return;
    if (const auto bytes = DecodeStruct(value, destination.size())) std::copy(bytes->begin(), bytes->end(), destination.begin());
}
