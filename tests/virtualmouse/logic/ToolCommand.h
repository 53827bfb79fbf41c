#pragma once
// The command line of simmouse.exe, the virtual mouse's control tool, turned into what to
// do. The same words drive the mouse from a test's own process (VirtualMouse.h).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ReportText.h"

namespace virtualmouse {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;   // refused, or a wait timed out
inline constexpr int kExitNoDriver = 2;  // the virtual mouse is not installed in this prefix
inline constexpr int kExitUsage = 3;

struct ToolCommand {
    enum class Action { Help, Install, Attach, Detach, Inject, Fail, Slow, Press, Log, ClearLog, State, WaitLog };
    enum class Failing { None, All, Nth };
    enum class Key { Profile, Cpi, Button };

    Action action = Action::Help;
    // Inject: a report on a collection (its number), sent `repeat` times `intervalMs` apart.
    std::uint32_t collection = 0;
    simmouse::Bytes report;
    std::uint32_t repeat = 1;
    std::uint32_t intervalMs = 0;
    // Fail: none, all, or the n-th write from now.
    Failing failing = Failing::None;
    std::uint32_t nth = 0;
    // Slow: how long each write takes from now on.
    std::uint32_t delayMs = 0;
    // Press.
    Key key = Key::Profile;
    int number = 0;
    // WaitLog.
    std::string pattern;
    std::uint32_t timeoutMs = 0;
};

struct ParsedCommand {
    std::optional<ToolCommand> command;
    std::string error;  // when there is no command
};

// The arguments after the program name, UTF-8.
ParsedCommand ParseToolCommand(const std::vector<std::string>& args);

// The words of a command line, double quotes grouping words as the C runtime does.
std::vector<std::string> SplitCommandLine(std::string_view line);

// A word of the command line as the parser takes it: the tool's words are printable ASCII,
// and any other character becomes one the parser refuses.
std::string ToolWord(std::wstring_view text);

extern const char kToolUsage[];

}  // namespace virtualmouse
