#include "ToolCommand.h"

#include "Tern7Layout.h"

namespace virtualmouse {

const char kToolUsage[] =
    "simmouse: the virtual Tern-7 mouse on Wine's HID stack, and its control tool.\n"
    "\n"
    "  simmouse install\n"
    "      Puts the virtual mouse's drivers (beside this program) into the current\n"
    "      WINEPREFIX; exit 0 once its bus runs. It starts unplugged.\n"
    "  simmouse attach | detach\n"
    "      Plugs the mouse in or pulls it out; returns once its HID collections have\n"
    "      appeared or gone: col01 pointer, col02 keys (Consumer Control), col03 vendor.\n"
    "  simmouse inject HEX... [--id N] [--repeat COUNT [--interval MS]]\n"
    "      Sends an input report (identifier byte first) on collection N (default 2,\n"
    "      the keys), e.g. 'simmouse inject 03 20 00'; with --repeat COUNT times, MS\n"
    "      apart (default 0: as fast as the mouse sends, one a millisecond).\n"
    "  simmouse fail none|all|N\n"
    "      Makes every write fail, none, or only the N-th write from now (1 = the next).\n"
    "  simmouse slow MS           every write takes MS milliseconds from now (0: none)\n"
    "  simmouse press profile N   (N = 1..3)   sends 03 N0 00 and selects profile N\n"
    "  simmouse press cpi N       (N = 1..4)   sends 03 0N 00\n"
    "  simmouse press button B    (B = 1..8)   acts on B's record in the current profile\n"
    "  simmouse log               prints the output reports the mouse received, one a line\n"
    "  simmouse clear-log         starts the log afresh (what the mouse stored stays)\n"
    "  simmouse state             attachment, profile, CPI level, stored profiles, settings\n"
    "  simmouse wait-log PATTERN TIMEOUT_MS\n"
    "      Waits until a log line contains PATTERN (ignoring case) and prints it;\n"
    "      exit 1 on timeout.\n"
    "\n"
    "Exit status: 0 done, 1 refused or timed out, 2 the virtual mouse is not installed in\n"
    "this prefix, 3 bad command line.\n";

namespace {

constexpr std::uint32_t kMostRepeats = 1000000;
constexpr std::uint32_t kLongestIntervalMs = 60 * 1000;
constexpr std::uint32_t kLongestWaitMs = 24 * 60 * 60 * 1000;
constexpr std::uint32_t kLongestDelayMs = 60 * 1000;

ParsedCommand Fail(std::string error) { return {std::nullopt, std::move(error)}; }

ParsedCommand Done(ToolCommand command) { return {std::move(command), {}}; }

std::string JoinWords(const std::vector<std::string>& words, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < words.size(); ++i) text += (text.empty() ? "" : " ") + words[i];
    return text;
}

ParsedCommand ParseInject(const std::vector<std::string>& words, ToolCommand command) {
    const auto bytes = simmouse::ParseHex(JoinWords(words, 1));
    if (!bytes || bytes->empty()) return Fail("inject takes bytes as two-digit hex pairs, e.g. 03 20 00");
    command.action = ToolCommand::Action::Inject;
    command.report = *bytes;
    return Done(std::move(command));
}

ParsedCommand ParseFail(const std::string& what, ToolCommand command) {
    command.action = ToolCommand::Action::Fail;
    if (what == "none") {
        command.failing = ToolCommand::Failing::None;
    } else if (what == "all") {
        command.failing = ToolCommand::Failing::All;
    } else {
        const auto n = simmouse::ParseNumber(what);
        if (!n || *n == 0) return Fail("usage: fail none|all|N (N counts from 1)");
        command.failing = ToolCommand::Failing::Nth;
        command.nth = *n;
    }
    return Done(std::move(command));
}

ParsedCommand ParsePress(const std::string& what, const std::string& number, ToolCommand command) {
    const auto n = simmouse::ParseNumber(number);
    if (!n || *n > 100) return Fail("usage: press profile|cpi|button N");
    command.action = ToolCommand::Action::Press;
    command.number = static_cast<int>(*n);
    if (what == "profile")
        command.key = ToolCommand::Key::Profile;
    else if (what == "cpi")
        command.key = ToolCommand::Key::Cpi;
    else if (what == "button")
        command.key = ToolCommand::Key::Button;
    else
        return Fail("usage: press profile|cpi|button N");
    return Done(std::move(command));
}

}  // namespace

ParsedCommand ParseToolCommand(const std::vector<std::string>& args) {
    ToolCommand command;
    command.collection = CollectionNumber(kKeyChild);
    std::vector<std::string> words;
    bool hasId = false;
    std::optional<std::uint32_t> repeat;
    std::optional<std::uint32_t> interval;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // The number after an option, 0 when there is none (no option takes 0 for a count).
        const std::uint32_t value = i + 1 < args.size() ? simmouse::ParseNumber(args[i + 1]).value_or(0) : 0;
        const bool valid = i + 1 < args.size() && simmouse::ParseNumber(args[i + 1]).has_value();
        if (arg == "--help" || arg == "-h" || arg == "help") return Done(ToolCommand{});
        if (arg == "--id") {
            if (value == 0 || value > kChildCount) return Fail("--id needs a collection number, 1 to 3");
            command.collection = value;
            hasId = true;
            ++i;
        } else if (arg == "--repeat") {
            if (value == 0 || value > kMostRepeats)
                return Fail("--repeat needs a count from 1 to " + std::to_string(kMostRepeats));
            repeat = value;
            ++i;
        } else if (arg == "--interval") {
            if (!valid || value > kLongestIntervalMs)
                return Fail("--interval needs milliseconds up to " + std::to_string(kLongestIntervalMs));
            interval = value;
            ++i;
        } else {
            if (!simmouse::IsPrintableLine(arg)) return Fail("arguments must be printable ASCII");
            words.push_back(arg);
        }
    }
    if (words.empty()) return Done(ToolCommand{});

    const std::string& name = words[0];
    const std::size_t count = words.size() - 1;
    if (name != "inject" && (hasId || repeat)) return Fail("--id and --repeat belong to 'inject'");
    if (!repeat && interval) return Fail("--interval belongs to 'inject --repeat'");
    command.repeat = repeat.value_or(1);
    command.intervalMs = interval.value_or(0);

    using Action = ToolCommand::Action;
    const std::pair<const char*, Action> bare[] = {
        {"install", Action::Install}, {"attach", Action::Attach},      {"detach", Action::Detach},
        {"log", Action::Log},         {"clear-log", Action::ClearLog}, {"state", Action::State},
    };
    for (const auto& [word, action] : bare) {
        if (name != word) continue;
        if (count != 0) break;
        command.action = action;
        return Done(std::move(command));
    }
    if (name == "inject" && count > 0) return ParseInject(words, std::move(command));
    if (name == "fail" && count == 1) return ParseFail(words[1], std::move(command));
    if (name == "press" && count == 2) return ParsePress(words[1], words[2], std::move(command));
    if (name == "slow" && count == 1) {
        const auto ms = simmouse::ParseNumber(words[1]);
        if (!ms || *ms > kLongestDelayMs) return Fail("usage: slow MS (up to " + std::to_string(kLongestDelayMs) + ")");
        command.action = Action::Slow;
        command.delayMs = *ms;
        return Done(std::move(command));
    }
    if (name == "wait-log" && count == 2) {
        const auto timeout = simmouse::ParseNumber(words[2]);
        if (!timeout || *timeout > kLongestWaitMs || words[1].empty())
            return Fail("usage: wait-log PATTERN TIMEOUT_MS");
        command.action = Action::WaitLog;
        command.pattern = words[1];
        command.timeoutMs = *timeout;
        return Done(std::move(command));
    }
    return Fail("unknown command or wrong arguments: " + JoinWords(words, 0) + " (see simmouse --help)");
}

std::string ToolWord(std::wstring_view text) {
    std::string word;
    for (const wchar_t c : text) word.push_back(c < 0x80 ? static_cast<char>(c) : '\x01');
    return word;
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool inWord = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == ' ' && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word.push_back(c);
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

}  // namespace virtualmouse
