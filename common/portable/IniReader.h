#pragma once
// Typed reads of INI values. A reader only finds a key's raw value; the typed reads here
// give every reader the same rules for missing, empty and malformed values.
#include <cstdint>
#include <span>
#include <string>

class IniReader {
public:
    // Longest text that ReadString returns.
    static constexpr std::size_t kMaxStringChars = 4095;

    // The key's value as a signed decimal number; the default when the key is missing,
    // empty or not a number.
    int ReadInt(const std::wstring& section, const std::wstring& key, int defaultValue) const;
    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultText) const;
    // Fills destination from a value that encodes exactly its size with a matching
    // checksum; leaves it untouched otherwise.
    void ReadStruct(const std::wstring& section, const std::wstring& key, std::span<std::uint8_t> destination) const;

protected:
    ~IniReader() = default;

    // The key's value, at most kMaxStringChars long, into value; false when the key is
    // missing, which is not the same as an empty value.
    virtual bool ReadRaw(const std::wstring& section, const std::wstring& key, std::wstring& value) const = 0;
};
