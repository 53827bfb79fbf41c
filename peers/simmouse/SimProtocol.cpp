#include "SimProtocol.h"

namespace simmouse {

namespace {

// Four lower-case digits: the low 16 bits of a USB id.
std::string Hex4(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(4, '0');
    for (int i = 3; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return text;
}

}  // namespace

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
