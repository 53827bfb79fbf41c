#include "StructEncoding.h"

namespace {

constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

std::optional<std::uint8_t> HexByte(std::wstring_view text, std::size_t at) {
    const int high = HexValue(text[at]);
    const int low = HexValue(text[at + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    return static_cast<std::uint8_t>(high * 16 + low);
}

void AppendHexByte(std::wstring& out, std::uint8_t byte) {
    out.push_back(kHexDigits[byte >> 4]);
    out.push_back(kHexDigits[byte & 0x0F]);
}

}  // namespace

std::wstring EncodeStruct(std::span<const std::uint8_t> bytes) {
    std::wstring text;
    text.reserve(bytes.size() * 2 + 2);
    std::uint8_t sum = 0;
    for (std::uint8_t byte : bytes) {
        AppendHexByte(text, byte);
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    AppendHexByte(text, sum);
    return text;
}

std::optional<std::vector<std::uint8_t>> DecodeStruct(std::wstring_view text, std::size_t size) {
    if (text.size() != size * 2 + 2) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(size);
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const auto byte = HexByte(text, i * 2);
        if (!byte) return std::nullopt;
        bytes.push_back(*byte);
        sum = static_cast<std::uint8_t>(sum + *byte);
    }
    const auto checksum = HexByte(text, size * 2);
    if (!checksum || *checksum != sum) return std::nullopt;
    return bytes;
}
