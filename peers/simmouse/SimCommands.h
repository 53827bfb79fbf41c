#pragma once
// The server's requests, carried out on the mouse model. Requests that wait or end the
// server (monitor, wait-log, quit) are the server's own; everything else is here.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "MouseModel.h"
#include "SimProtocol.h"

namespace simmouse {

struct CommandOutcome {
    Reply reply;
    // What every monitor connection must be told, in order.
    std::vector<MonitorEvent> events;
};

CommandOutcome ExecuteCommand(MouseModel& mouse, std::string_view line);

// The lines of the "state" reply.
std::vector<std::string> DescribeState(const MouseModel& mouse);

MonitorEvent DeviceEventOf(const MouseModel& mouse);

// "wait-log TIMEOUT_MS PATTERN": the pattern is the rest of the line, spaces included.
struct WaitLogRequest {
    std::uint32_t timeoutMs = 0;
    std::string pattern;
};
std::optional<WaitLogRequest> ParseWaitLog(std::string_view arguments);

// The first log line that contains the pattern, ignoring case.
std::optional<std::string> FindLogLine(const std::vector<std::string>& log, std::string_view pattern);

}  // namespace simmouse
