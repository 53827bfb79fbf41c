#pragma once
// Typed access to one INI file. Reads go through the Windows private-profile functions,
// or through one read of the whole file (Read), decoded as those functions decode it.
// Writes never edit the file in place while it can be replaced: the profile functions
// work on a copy beside it, which then takes the file's place in one step, keeping the
// file's attributes and security, so a reader (the settings tool) sees the old file or
// the new one, never a part, and a write that fails leaves the file as it was. A file
// that is a link stays one; its target is written. Every write is on disk when the call
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
    unsigned long Attributes = 0;  // the file's own, given back to the copy that replaces it
    std::string Bytes;
    std::wstring Decoded;  // the bytes as text
    IniText Text{L""};     // made from Decoded
};

class IniFile final : public IniReader {
public:
    // Far beyond any settings file: a larger one is damaged, or no settings file.
    static constexpr std::uint64_t kMaxFileBytes = 1 << 20;

    explicit IniFile(std::wstring path) : path_(std::move(path)) {}
    const std::wstring& Path() const { return path_; }

    // The whole file in one read; a missing file reads as empty and is no error. A file
    // that another program holds without sharing is tried again for a few tens of
    // milliseconds. Returns 0 or the system's error code.
    unsigned long Read(IniSnapshot& snapshot) const;

    // Writes the entries in their order into what snapshot holds and puts the result in
    // place of the file in one step; nothing is written when no entry changes a value.
    // The caller keeps other writers out between the read and this call. Returns 0 or
    // the system's error code; the file is unchanged on error.
    unsigned long Write(const IniSnapshot& snapshot, std::span<const IniEntry> entries) const;

    // Single keys, read, changed and replaced as above. When another program holds the
    // file open so that it cannot be replaced but lets it be written, keys whose new value
    // is as long as the old are written over it where they stand: no other byte of the
    // file changes, and a write cut short leaves the old value or the new one.
    unsigned long WriteKeys(std::span<const IniEntry> entries) const;
    unsigned long WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& text) const;
    unsigned long WriteInt(const std::wstring& section, const std::wstring& key, int value) const;
    unsigned long WriteStruct(const std::wstring& section, const std::wstring& key,
                              std::span<const std::uint8_t> bytes) const;

private:
    bool ReadRaw(const std::wstring& section, const std::wstring& key, std::wstring& value) const override;

    std::wstring path_;
};
