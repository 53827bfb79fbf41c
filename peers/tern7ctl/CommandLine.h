#pragma once
// What tern7ctl is asked to do, read from its arguments, and the help text.
#include <span>
#include <string>
#include <variant>

enum class CommandKind { Help, Show, Get, Set, Apply, Watch };

struct Command {
    CommandKind Kind = CommandKind::Help;
    std::wstring Section;
    std::wstring Key;
    std::wstring Value;
};

// What is wrong with the arguments, for a line before the usage text.
struct UsageError {
    std::wstring Message;
};

// arguments: everything after the program's name.
std::variant<Command, UsageError> ParseCommandLine(std::span<const std::wstring> arguments);

extern const wchar_t kUsageText[];
