#pragma once
// Typed access to one INI file through the Windows private-profile functions. Holds only
// the path; every write is on disk when the call returns, since another program (the
// settings tool) may read the file at any time.
#include <cstdint>
#include <span>
#include <string>

#include "IniReader.h"

class IniFile final : public IniReader {
public:
    explicit IniFile(std::wstring path) : path_(std::move(path)) {}
    const std::wstring& Path() const { return path_; }

    void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& text) const;
    void WriteInt(const std::wstring& section, const std::wstring& key, int value) const;
    void WriteStruct(const std::wstring& section, const std::wstring& key, std::span<const std::uint8_t> bytes) const;

private:
    bool ReadRaw(const std::wstring& section, const std::wstring& key, std::wstring& value) const override;

    std::wstring path_;
};
