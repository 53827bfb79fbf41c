#pragma once
// Typed access to one INI file through the Windows private-profile functions. Holds only
// the path; every write is on disk when the call returns, since another program (the
// settings tool) may read the file at any time.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class IniFile {
public:
    // Longest text that ReadString returns.
    static constexpr std::size_t kMaxStringChars = 4095;

    explicit IniFile(std::wstring path) : path_(std::move(path)) {}
    const std::wstring& Path() const { return path_; }

    void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& text) const;
    void WriteInt(const std::wstring& section, const std::wstring& key, int value) const;
    void WriteStruct(const std::wstring& section, const std::wstring& key, std::span<const std::uint8_t> bytes) const;

    // The key's value as a signed decimal number; the default when the key is missing,
    // empty or not a number.
    int ReadInt(const std::wstring& section, const std::wstring& key, int defaultValue) const;
    std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                            const std::wstring& defaultText) const;
    // Fills destination from a value that encodes exactly its size with a matching
    // checksum; leaves it untouched otherwise.
    void ReadStruct(const std::wstring& section, const std::wstring& key, std::span<std::uint8_t> destination) const;

private:
    // Missing keys read as nothing, unlike an empty value.
    bool ReadRaw(const std::wstring& section, const std::wstring& key, std::wstring& value) const;

    std::wstring path_;
};
