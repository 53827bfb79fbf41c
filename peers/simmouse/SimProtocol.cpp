#include "SimProtocol.h"

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

// Four lower-case digits: the low 16 bits of a USB id.
std::string Hex4(std::uint32_t value) {
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kHexDigits[value & 0xF];
    return text;
}

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

Split SplitFirstWord(std::string_view line) {
    line = TrimLeft(line);
    const std::size_t end = std::min(line.find_first_of(" \t"), line.size());
    return {line.substr(0, end), TrimLeft(line.substr(end))};
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

std::string FormatReply(const Reply& reply) {
    if (!reply.ok) return "error " + reply.error + "\n";
    std::string text = "ok " + std::to_string(reply.lines.size()) + "\n";
    for (const std::string& line : reply.lines) text += line + "\n";
    return text;
}

std::optional<ReplyStatus> ParseReplyStatus(std::string_view line) {
    const Split split = SplitFirstWord(line);
    if (split.word == "error") return ReplyStatus{false, 0, std::string(split.rest)};
    if (split.word != "ok") return std::nullopt;
    const auto count = ParseNumber(split.rest);
    if (!count || split.rest.starts_with("0x") || split.rest.starts_with("0X")) return std::nullopt;
    return ReplyStatus{true, *count, {}};
}

MonitorEvent MonitorEvent::Device(bool attached, std::uint32_t vendorId, std::uint32_t productId) {
    MonitorEvent event;
    event.kind = Kind::Device;
    event.attached = attached;
    event.vendorId = vendorId;
    event.productId = productId;
    return event;
}

MonitorEvent MonitorEvent::Input(std::uint32_t collection, Bytes report, bool timed) {
    MonitorEvent event;
    event.kind = Kind::Input;
    event.collection = collection;
    event.report = std::move(report);
    event.timed = timed;
    return event;
}

std::string FormatMonitorEvent(const MonitorEvent& event) {
    if (event.kind == MonitorEvent::Kind::Input) {
        return (event.timed ? "timed-input " : "input ") + std::to_string(event.collection) + " " +
               FormatHex(event.report);
    }
    return std::string("device ") + (event.attached ? "attached " : "detached ") + Hex4(event.vendorId) + " " +
           Hex4(event.productId);
}

std::optional<MonitorEvent> ParseMonitorEvent(std::string_view line) {
    const Split head = SplitFirstWord(line);
    if (head.word == "input" || head.word == "timed-input") {
        const Split collection = SplitFirstWord(head.rest);
        const auto id = ParseNumber(collection.word);
        auto report = ParseHex(collection.rest);
        if (!id || !report || report->empty()) return std::nullopt;
        return MonitorEvent::Input(*id, std::move(*report), head.word == "timed-input");
    }
    if (head.word != "device") return std::nullopt;
    const Split state = SplitFirstWord(head.rest);
    const Split vendor = SplitFirstWord(state.rest);
    const Split product = SplitFirstWord(vendor.rest);
    if (state.word != "attached" && state.word != "detached") return std::nullopt;
    const auto vendorId = ParseHexWord(vendor.word);
    const auto productId = ParseHexWord(product.word);
    if (!vendorId || !productId || !product.rest.empty()) return std::nullopt;
    return MonitorEvent::Device(state.word == "attached", *vendorId, *productId);
}

std::string FormatDelivery(std::uint32_t collection, std::int64_t performanceCounter) {
    return "delivered " + std::to_string(collection) + " qpc " + std::to_string(performanceCounter);
}

bool IsDelivery(std::string_view line) { return line.starts_with("delivered ") && IsPrintableLine(line); }

}  // namespace simmouse
