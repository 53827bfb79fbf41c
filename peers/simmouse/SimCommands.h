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

MonitorEvent DeviceEventOf(const MouseModel& mouse);

// "wait-log TIMEOUT_MS PATTERN": the pattern is the rest of the line, spaces included.
struct WaitLogRequest {
    std::uint32_t timeoutMs = 0;
    std::string pattern;
};
std::optional<WaitLogRequest> ParseWaitLog(std::string_view arguments);

// "repeat COUNT INTERVAL_MS ID HEX...": one report sent COUNT times, INTERVAL_MS apart, each
// one timed by the DLL.
struct RepeatRequest {
    std::uint32_t count = 0;
    std::uint32_t intervalMs = 0;
    std::uint32_t collection = 0;
    Bytes report;
};
std::optional<RepeatRequest> ParseRepeat(std::string_view arguments);

// One send of a repeat: the timed report, or a refusal when the mouse is detached.
CommandOutcome SendRepeated(const MouseModel& mouse, const RepeatRequest& request);

// The first log line that contains the pattern, ignoring case.
std::optional<std::string> FindLogLine(const std::vector<std::string>& log, std::string_view pattern);

}  // namespace simmouse
