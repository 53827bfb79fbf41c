#include "ControlArgs.h"

#include "SimProtocol.h"

namespace simmouse {

const char kControlUsage[] =
    "simmouse: the simulated Tern-7 mouse and its control tool.\n"
    "\n"
    "  simmouse serve [--attached] [--vendor 0xNNNN]\n"
    "      Runs the mouse until 'simmouse quit'. It starts detached unless --attached is\n"
    "      given; --vendor sets its USB vendor id. Prints 'simmouse: serving PIPE' when\n"
    "      clients can connect.\n"
    "  simmouse attach | detach\n"
    "      Plugs the mouse in or pulls it out; the DLL opens or closes collections 2 and 3.\n"
    "  simmouse inject HEX... [--id N] [--repeat COUNT [--interval MS]]\n"
    "      Sends a raw input report (identifier byte first) on collection N (default 3),\n"
    "      e.g. 'simmouse inject 03 20 00'. With --repeat it is sent COUNT times, MS apart\n"
    "      (default 10), and the DLL logs 'delivered N qpc VALUE' for each one: the\n"
    "      QueryPerformanceCounter value just before it called the input callback.\n"
    "  simmouse fail none|all|N\n"
    "      Makes every write fail, none, or only the N-th write from now (1 = the next).\n"
    "  simmouse press profile N   (N = 1..3)   sends 03 N0 00 and selects profile N\n"
    "  simmouse press cpi N       (N = 1..4)   sends 03 0N 00\n"
    "  simmouse press button B    (B = 1..8)   acts on B's record in the current profile\n"
    "  simmouse log               prints the log: DLL calls and writes, one a line\n"
    "  simmouse clear-log         empties the log\n"
    "  simmouse state             attachment, profile, CPI level, stored profiles, settings\n"
    "  simmouse wait-log PATTERN TIMEOUT_MS\n"
    "      Waits until a log line contains PATTERN (ignoring case) and prints it;\n"
    "      exit 1 on timeout.\n"
    "  simmouse wait-ready TIMEOUT_MS\n"
    "      Waits until a server answers; exit 1 on timeout.\n"
    "  simmouse quit              stops the server\n"
    "\n"
    "Every command takes --pipe NAME; otherwise the pipe is TERN7_SIMMOUSE_PIPE, else\n"
    "\\\\.\\pipe\\Tern7SimMouse. Exit status: 0 done, 1 refused or timed out, 2 no device\n"
    "server, 3 bad command line.\n";

namespace {

// Reply time allowed beyond a wait the server does itself.
constexpr std::uint32_t kReplyMarginMs = 5000;
constexpr std::uint32_t kLongestWaitMs = 24 * 60 * 60 * 1000;
constexpr std::uint32_t kMostRepeats = 1000000;
constexpr std::uint32_t kLongestIntervalMs = 60 * 1000;
constexpr std::uint32_t kDefaultIntervalMs = 10;

std::string JoinWords(const std::vector<std::string>& words, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < words.size(); ++i) text += (text.empty() ? "" : " ") + words[i];
    return text;
}

ParsedArgs Fail(std::string error) { return {std::nullopt, std::move(error)}; }

ParsedArgs Done(Invocation invocation) { return {std::move(invocation), {}}; }

}  // namespace

ParsedArgs ParseControlArgs(const std::vector<std::string>& args) {
    Invocation invocation;
    std::vector<std::string> words;
    std::optional<std::uint32_t> injectId;
    std::optional<std::uint32_t> repeatCount;
    std::optional<std::uint32_t> repeatIntervalMs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h" || arg == "help") return Done(Invocation{});
        if (arg == "--pipe") {
            if (!hasValue || args[i + 1].empty()) return Fail("--pipe needs a name");
            invocation.pipe = args[++i];
        } else if (arg == "--attached") {
            invocation.attached = true;
        } else if (arg == "--vendor") {
            const auto vendor = hasValue ? ParseNumber(args[i + 1]) : std::nullopt;
            if (!vendor || *vendor > 0xFFFF) return Fail("--vendor needs a 16-bit id such as 0x3e71");
            invocation.vendorId = *vendor;
            ++i;
        } else if (arg == "--id") {
            injectId = hasValue ? ParseNumber(args[i + 1]) : std::nullopt;
            if (!injectId || *injectId > 0xFFFF) return Fail("--id needs a collection number");
            ++i;
        } else if (arg == "--repeat") {
            repeatCount = hasValue ? ParseNumber(args[i + 1]) : std::nullopt;
            if (!repeatCount || *repeatCount == 0 || *repeatCount > kMostRepeats)
                return Fail("--repeat needs a count from 1 to " + std::to_string(kMostRepeats));
            ++i;
        } else if (arg == "--interval") {
            repeatIntervalMs = hasValue ? ParseNumber(args[i + 1]) : std::nullopt;
            if (!repeatIntervalMs || *repeatIntervalMs > kLongestIntervalMs)
                return Fail("--interval needs milliseconds up to " + std::to_string(kLongestIntervalMs));
            ++i;
        } else {
            if (!IsPrintableLine(arg)) return Fail("arguments must be printable ASCII");
            words.push_back(arg);
        }
    }
    if (words.empty()) return Done(Invocation{});

    const std::string& command = words[0];
    const std::size_t count = words.size() - 1;
    const bool serveOptions = invocation.attached || invocation.vendorId;
    if (command != "serve" && serveOptions) return Fail("--attached and --vendor belong to 'serve'");
    if (command != "inject" && injectId) return Fail("--id belongs to 'inject'");
    if (command != "inject" && repeatCount) return Fail("--repeat belongs to 'inject'");
    if (!repeatCount && repeatIntervalMs) return Fail("--interval belongs to 'inject --repeat'");

    if (command == "serve" && count == 0) {
        invocation.action = Invocation::Action::Serve;
        return Done(invocation);
    }
    invocation.action = Invocation::Action::Request;
    if ((command == "attach" || command == "detach" || command == "log" || command == "clear-log" ||
         command == "state" || command == "quit") &&
        count == 0) {
        invocation.request = command;
        return Done(invocation);
    }
    if (command == "inject" && count > 0) {
        const auto bytes = ParseHex(JoinWords(words, 1));
        if (!bytes) return Fail("inject takes bytes as two-digit hex pairs, e.g. 03 20 00");
        const std::string report = std::to_string(injectId.value_or(3)) + " " + FormatHex(*bytes);
        if (!repeatCount) {
            invocation.request = "inject " + report;
            return Done(invocation);
        }
        const std::uint32_t intervalMs = repeatIntervalMs.value_or(kDefaultIntervalMs);
        const std::uint64_t sendingMs = std::uint64_t{*repeatCount} * intervalMs;
        if (sendingMs > kLongestWaitMs) return Fail("--repeat and --interval together exceed a day");
        invocation.request = "repeat " + std::to_string(*repeatCount) + " " + std::to_string(intervalMs) + " " + report;
        invocation.replyTimeoutMs = static_cast<std::uint32_t>(sendingMs) + kReplyMarginMs;
        return Done(invocation);
    }
    if ((command == "fail" && count == 1) || (command == "press" && count == 2)) {
        invocation.request = JoinWords(words, 0);
        return Done(invocation);
    }
    if (command == "wait-log" && count == 2) {
        const auto timeout = ParseNumber(words[2]);
        if (!timeout || *timeout > kLongestWaitMs || words[1].empty()) return Fail("usage: wait-log PATTERN TIMEOUT_MS");
        invocation.request = "wait-log " + std::to_string(*timeout) + " " + words[1];
        invocation.replyTimeoutMs = *timeout + kReplyMarginMs;
        return Done(invocation);
    }
    if (command == "wait-ready" && count == 1) {
        const auto timeout = ParseNumber(words[1]);
        if (!timeout || *timeout > kLongestWaitMs) return Fail("usage: wait-ready TIMEOUT_MS");
        invocation.action = Invocation::Action::WaitReady;
        invocation.readyTimeoutMs = *timeout;
        return Done(invocation);
    }
    return Fail("unknown command or wrong arguments: " + JoinWords(words, 0) + " (see simmouse --help)");
}

}  // namespace simmouse
