#include "IniText.h"

#include <algorithm>

namespace {

// 0x1A, the old end-of-file mark, counts as white space too.
bool IsProfileSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r') || c == 0x1A; }

std::wstring_view Trim(std::wstring_view text) {
    while (!text.empty() && IsProfileSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsProfileSpace(text.back())) text.remove_suffix(1);
    return text;
}

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// A name is compared as the zero-terminated string it is stored as.
std::wstring_view NameOf(std::wstring_view text) { return text.substr(0, text.find(L'\0')); }

wchar_t FromCodePage1252(std::uint8_t byte) {
    static constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return byte >= 0x80 && byte < 0xA0 ? static_cast<wchar_t>(kHigh[byte - 0x80]) : static_cast<wchar_t>(byte);
}

void AppendUtf16(std::wstring& text, char32_t code) {
    if (code < 0x10000) {
        text.push_back(static_cast<wchar_t>(code));
    } else {
        code -= 0x10000;
        text.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
        text.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
    }
}

// UTF-8 as UTF-16 code units, as the Windows calls see it; a byte that starts no valid
// sequence becomes U+FFFD.
std::wstring DecodeUtf8(std::span<const std::uint8_t> bytes) {
    std::wstring text;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::uint8_t lead = bytes[at];
        const int trail = lead < 0x80                   ? 0
                          : lead >= 0xC2 && lead < 0xE0 ? 1
                          : lead >= 0xE0 && lead < 0xF0 ? 2
                          : lead >= 0xF0 && lead < 0xF5 ? 3
                                                        : -1;
        char32_t code = trail == 0 ? lead : trail == 1 ? lead & 0x1F : trail == 2 ? lead & 0x0F : lead & 0x07;
        bool valid = trail >= 0 && at + trail < bytes.size();
        for (int i = 1; valid && i <= trail; ++i) {
            valid = (bytes[at + i] & 0xC0) == 0x80;
            code = (code << 6) | (bytes[at + i] & 0x3F);
        }
        static constexpr char32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
        valid = valid && code >= kShortest[trail] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        AppendUtf16(text, valid ? code : 0xFFFD);
        at += valid ? trail + 1 : 1;
    }
    return text;
}

// The next line of text, its break removed.
std::wstring_view TakeLine(std::wstring_view& rest) {
    const std::size_t end = rest.find_first_of(L"\r\n");
    const std::wstring_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::wstring_view::npos ? rest.size() : end + 1);
    return line;
}

// What the profile functions copy into a buffer of capacity characters, zero included.
std::wstring CopyEntry(std::wstring_view value, std::size_t capacity) {
    value = value.substr(0, value.find(L'\0'));
    bool quoted = false;
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front()) {
        value.remove_prefix(1);
        quoted = true;
    }
    std::wstring copied(value.substr(0, capacity - 1));
    if (quoted && capacity >= value.size() && !copied.empty()) copied.pop_back();
    return copied;
}

}  // namespace

bool SameIniName(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return FoldAscii(x) == FoldAscii(y); });
}

IniText::IniText(std::wstring_view text) {
    const wchar_t* const start = text.data();
    sections_.push_back({});  // the keys before any header
    while (!text.empty()) {
        const std::wstring_view line = Trim(TakeLine(text));
        if (line.empty()) continue;
        if (line.front() == L'[') {
            const std::size_t close = line.rfind(L']');
            if (close != std::wstring_view::npos) {
                sections_.push_back({std::wstring(NameOf(Trim(line.substr(1, close - 1)))), {}});
                continue;
            }
        }
        const std::size_t equals = line.find(L'=');
        Key key{std::wstring(NameOf(Trim(line.substr(0, equals)))), std::nullopt};
        if (equals != std::wstring_view::npos) {
            const std::wstring_view value = Trim(line.substr(equals + 1));
            key.Value = std::wstring(value);
            key.ValueAt = static_cast<std::size_t>(value.data() - start);
        }
        sections_.back().Keys.push_back(std::move(key));
    }
}

std::wstring DecodeWindows1252(std::span<const std::uint8_t> bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (std::uint8_t byte : bytes) text.push_back(FromCodePage1252(byte));
    return text;
}

std::wstring IniText::DecodeFileBytes(std::span<const std::uint8_t> bytes, AnsiDecoder decodeAnsi) {
    std::wstring text;
    const bool littleEndian = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
    const bool bigEndian = bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF;
    if (littleEndian || bigEndian) {
        for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
            const std::uint8_t low = littleEndian ? bytes[at] : bytes[at + 1];
            const std::uint8_t high = littleEndian ? bytes[at + 1] : bytes[at];
            text.push_back(static_cast<wchar_t>(low | (high << 8)));
        }
    } else if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        text = DecodeUtf8(bytes.subspan(3));
    } else {
        text = decodeAnsi(bytes);
    }
    return text;
}

const IniText::Key* IniText::FindKey(const std::wstring& section, const std::wstring& key) const {
    const auto named = std::find_if(sections_.begin() + 1, sections_.end(),
                                    [&](const Section& s) { return SameIniName(s.Name, section); });
    if (named == sections_.end()) return nullptr;
    const auto found =
        std::find_if(named->Keys.begin(), named->Keys.end(), [&](const Key& k) { return SameIniName(k.Name, key); });
    return found == named->Keys.end() ? nullptr : &*found;
}

const std::wstring* IniText::StoredValue(const std::wstring& section, const std::wstring& key) const {
    const Key* found = FindKey(section, key);
    return found && found->Value ? &*found->Value : nullptr;
}

std::optional<std::size_t> IniText::StoredValueAt(const std::wstring& section, const std::wstring& key) const {
    const Key* found = FindKey(section, key);
    if (!found || !found->Value) return std::nullopt;
    return found->ValueAt;
}

bool IniText::ReadRaw(const std::wstring& section, const std::wstring& key, std::wstring& value) const {
    const std::wstring* stored = StoredValue(section, key);
    if (!stored) return false;
    value = CopyEntry(*stored, kMaxStringChars + 1);
    return true;
}
