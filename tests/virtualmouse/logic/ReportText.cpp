#include "ReportText.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace simmouse {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

std::optional<std::uint8_t> HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
    if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
    if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
    return std::nullopt;
}

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    return text;
}

// Up to eight hex digits without a prefix.
std::optional<std::uint32_t> ParseHexWord(std::string_view text) {
    if (text.empty() || text.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        const auto digit = HexDigitValue(c);
        if (!digit) return std::nullopt;
        value = value << 4 | *digit;
    }
    return value;
}

}  // namespace

std::string FormatHex(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t byte : bytes) {
        if (!text.empty()) text.push_back(' ');
        text.push_back(kHexDigits[byte >> 4]);
        text.push_back(kHexDigits[byte & 0xF]);
    }
    return text;
}

std::optional<Bytes> ParseHex(std::string_view text) {
    Bytes bytes;
    for (;;) {
        text = TrimLeft(text);
        if (text.empty()) return bytes;
        const std::size_t end = std::min(text.find_first_of(" \t"), text.size());
        const std::string_view token = text.substr(0, end);
        if (token.size() != 2) return std::nullopt;
        const auto high = HexDigitValue(token[0]);
        const auto low = HexDigitValue(token[1]);
        if (!high || !low) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(*high << 4 | *low));
        text.remove_prefix(end);
    }
}

std::optional<std::uint32_t> ParseNumber(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return ParseHexWord(text.substr(2));
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool IsPrintableLine(std::string_view line) {
    return line.size() <= kMaxLineLength &&
           std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

bool ContainsIgnoringCase(std::string_view text, std::string_view pattern) {
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    return std::search(text.begin(), text.end(), pattern.begin(), pattern.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

}  // namespace simmouse
