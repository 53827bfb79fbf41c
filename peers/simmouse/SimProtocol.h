#pragma once
// The text lines spoken between the simulated mouse's server, its control program and its
// HidDevice.dll. Each line ends with '\n'; bytes travel as two-digit hex pairs separated
// by spaces ("03 20 00").
//
// A request is one line; the server answers "ok N" followed by N text lines, or
// "error MESSAGE". A "monitor" connection instead gets a stream of device events.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ReportText.h"

namespace simmouse {

// Replies.
struct Reply {
    bool ok = true;
    std::string error;  // when !ok
    std::vector<std::string> lines;

    static Reply Ok(std::vector<std::string> lines = {}) { return {true, {}, std::move(lines)}; }
    static Reply Error(std::string message) { return {false, std::move(message), {}}; }
};

// The status line and the body lines, each ending with '\n'.
std::string FormatReply(const Reply& reply);

struct ReplyStatus {
    bool ok = false;
    std::size_t lineCount = 0;  // body lines that follow an "ok"
    std::string error;
};
std::optional<ReplyStatus> ParseReplyStatus(std::string_view line);

// Events on a monitor connection. The first one always states the device.
struct MonitorEvent {
    enum class Kind { Device, Input };
    Kind kind = Kind::Device;
    // Kind::Device
    bool attached = false;
    std::uint32_t vendorId = 0;
    std::uint32_t productId = 0;
    // Kind::Input: the collection it arrives on and the report, identifier first.
    std::uint32_t collection = 0;
    Bytes report;
    // Kind::Input: the DLL answers with the moment it handed the report to the callback.
    bool timed = false;

    static MonitorEvent Device(bool attached, std::uint32_t vendorId, std::uint32_t productId);
    static MonitorEvent Input(std::uint32_t collection, Bytes report, bool timed = false);
};

// "device attached 3e71 0143", "device detached 3e71 0143", "input 3 03 20 00",
// "timed-input 3 03 20 00".
std::string FormatMonitorEvent(const MonitorEvent& event);
std::optional<MonitorEvent> ParseMonitorEvent(std::string_view line);

// What the DLL says back on its monitor connection after calling the callback with a timed
// report: "delivered 3 qpc 123456789", the performance counter just before the call.
std::string FormatDelivery(std::uint32_t collection, std::int64_t performanceCounter);
bool IsDelivery(std::string_view line);

}  // namespace simmouse
