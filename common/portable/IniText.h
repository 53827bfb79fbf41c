#pragma once
// An INI file's text read the way the Windows private-profile functions read it, so that
// the config reader runs without Windows: lines end at '\r' or '\n' and lose their outer
// white space, "[name]" opens a section, "key=value" is a key, and a key without '='
// reads as missing. Names end at a zero character and match case-insensitively; only the
// first section of a name is searched, and its first key of a name wins. A value ends at a zero character, loses
// one pair of enclosing quotes and is cut to the caller's buffer of kMaxStringChars + 1.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "IniReader.h"

// Section and key names match as the profile functions match them: ASCII letters in
// either case.
bool SameIniName(std::wstring_view a, std::wstring_view b);

// Turns the bytes of a file without byte order mark into text. The profile functions
// read such a file in the system's ANSI code page; IniFile passes that decoder.
using AnsiDecoder = std::wstring (*)(std::span<const std::uint8_t> bytes);
// Windows-1252, the ANSI code page of a Western system: the decoder where no system is
// there to ask.
std::wstring DecodeWindows1252(std::span<const std::uint8_t> bytes);

class IniText final : public IniReader {
public:
    explicit IniText(std::wstring_view text);

    // A file's bytes as text: UTF-16 or UTF-8 after their byte order marks, otherwise
    // through decodeAnsi.
    static std::wstring DecodeFileBytes(std::span<const std::uint8_t> bytes,
                                        AnsiDecoder decodeAnsi = &DecodeWindows1252);

    // The value of the key as the file holds it, quotes and all, before any cut; null when
    // the key is missing or has no '='. The profile functions compare a write with this
    // text and leave the file alone when they are equal.
    const std::wstring* StoredValue(const std::wstring& section, const std::wstring& key) const;
    // Where that value starts in the text the IniText was made from.
    std::optional<std::size_t> StoredValueAt(const std::wstring& section, const std::wstring& key) const;

private:
    struct Key {
        std::wstring Name;
        std::optional<std::wstring> Value;
        std::size_t ValueAt = 0;
    };
    struct Section {
        std::wstring Name;
        std::vector<Key> Keys;
    };

    bool ReadRaw(const std::wstring& section, const std::wstring& key, std::wstring& value) const override;
    const Key* FindKey(const std::wstring& section, const std::wstring& key) const;

    // Keys before the first section header belong to no section and are never found.
    std::vector<Section> sections_;
};
