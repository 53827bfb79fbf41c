#pragma once
// Typed access to one INI file. Reads go through the Windows private-profile functions,
// or through one read of the whole file (Read). Writes never edit the file in place:
// the profile functions work on a copy beside it, which then replaces the file in one
// step, so a reader (the settings tool) sees the old file or the new one, never a part,
// and a write that fails leaves the file as it was. Every write is on disk when the call
// returns.
#include <cstdint>
#include <span>
#include <string>

#include "IniReader.h"
#include "IniText.h"
#include "IniWrites.h"

// A file as one read found it.
struct IniSnapshot {
    bool Exists = false;
    std::string Bytes;
    IniText Text{L""};
};

class IniFile final : public IniReader {
public:
    explicit IniFile(std::wstring path) : path_(std::move(path)) {}
    const std::wstring& Path() const { return path_; }

    // The whole file in one read; a missing file reads as empty and is no error. Returns 0
    // or the system's error code.
    unsigned long Read(IniSnapshot& snapshot) const;

    // Writes the entries in their order into what snapshot holds and puts the result in
    // place of the file in one step; nothing is written when no entry changes a value.
    // The caller keeps other writers out between the read and this call. Returns 0 or
    // the system's error code; the file is unchanged on error.
    unsigned long Write(const IniSnapshot& snapshot, std::span<const IniEntry> entries) const;

    // One key each, read, changed and replaced as above.
    unsigned long WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& text) const;
    unsigned long WriteInt(const std::wstring& section, const std::wstring& key, int value) const;
    unsigned long WriteStruct(const std::wstring& section, const std::wstring& key,
                              std::span<const std::uint8_t> bytes) const;

    // The copy that Write edits before it replaces the file.
    std::wstring WorkingCopyPath() const { return path_ + L".tmp"; }

private:
    bool ReadRaw(const std::wstring& section, const std::wstring& key, std::wstring& value) const override;

    std::wstring path_;
};
