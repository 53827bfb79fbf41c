#pragma once
// The command line of simmouse.exe, turned into what to do: serve, or send one request to
// a running server.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace simmouse {

struct Invocation {
    enum class Action { Help, Serve, Request, WaitReady };
    Action action = Action::Help;
    std::optional<std::string> pipe;  // --pipe NAME
    // Serve.
    bool attached = false;
    std::optional<std::uint32_t> vendorId;
    // Request: the protocol line and how long its reply may take.
    std::string request;
    std::uint32_t replyTimeoutMs = 5000;
    // WaitReady.
    std::uint32_t readyTimeoutMs = 0;
};

struct ParsedArgs {
    std::optional<Invocation> invocation;
    std::string error;  // when there is no invocation
};

// The arguments after the program name, UTF-8.
ParsedArgs ParseControlArgs(const std::vector<std::string>& args);

extern const char kControlUsage[];

}  // namespace simmouse
