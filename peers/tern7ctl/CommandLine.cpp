#include "CommandLine.h"

#include <optional>

#include "IniEntryText.h"

const wchar_t kUsageText[] =
    L"Usage: tern7ctl COMMAND\n"
    L"Reads and changes the Tern-7 mouse settings (config.ini in the user's data folder,\n"
    L"%APPDATA%\\Pelora Tern-7\\) and talks to the running agent as the settings tool does.\n"
    L"\n"
    L"  show                    print every setting, grouped by section\n"
    L"  get SECTION KEY         print one setting\n"
    L"  set SECTION KEY VALUE   change one setting (the agent uses it on the next apply)\n"
    L"  apply                   have the agent reload config.ini and upload it to the mouse;\n"
    L"                          prints sent, write failed, no device, no agent or no answer\n"
    L"  watch                   print the agent's notices (profile changed, cpi level N,\n"
    L"                          apply done: ...) as they come, until Ctrl+C\n"
    L"  --help                  this text\n"
    L"\n"
    L"Exit codes: 0 done; 1 missing file or key, or a failed write; 2 bad arguments;\n"
    L"apply: 3 write failed, 4 no device, 5 no agent, 6 no answer.";

namespace {

struct CommandShape {
    const wchar_t* Name;
    CommandKind Kind;
    std::size_t Operands;
    const wchar_t* OperandNames;
};

constexpr CommandShape kCommands[] = {
    {L"show", CommandKind::Show, 0, L""},
    {L"get", CommandKind::Get, 2, L" SECTION KEY"},
    {L"set", CommandKind::Set, 3, L" SECTION KEY VALUE"},
    {L"apply", CommandKind::Apply, 0, L""},
    {L"watch", CommandKind::Watch, 0, L""},
};

bool IsHelpRequest(const std::wstring& argument) {
    return argument == L"--help" || argument == L"-h" || argument == L"/?" || argument == L"help";
}

// Texts that would not come back as the same entry once written.
std::optional<std::wstring> ProblemWithOperands(const Command& command) {
    if (command.Kind != CommandKind::Get && command.Kind != CommandKind::Set) return std::nullopt;
    if (auto problem = ProblemWithSectionName(command.Section)) return problem;
    if (auto problem = ProblemWithKeyName(command.Key)) return problem;
    if (command.Kind == CommandKind::Set) return ProblemWithValue(command.Value);
    return std::nullopt;
}

}  // namespace

std::variant<Command, UsageError> ParseCommandLine(std::span<const std::wstring> arguments) {
    if (arguments.empty()) return UsageError{L"no command given"};
    if (IsHelpRequest(arguments[0])) {
        if (arguments.size() > 1) return UsageError{L"--help takes no arguments"};
        return Command{};
    }
    for (const CommandShape& shape : kCommands) {
        if (arguments[0] != shape.Name) continue;
        const auto operands = arguments.subspan(1);
        if (operands.size() != shape.Operands)
            return UsageError{std::wstring(L"usage: tern7ctl ") + shape.Name + shape.OperandNames};
        Command command;
        command.Kind = shape.Kind;
        if (shape.Operands >= 2) {
            command.Section = operands[0];
            command.Key = operands[1];
        }
        if (shape.Operands == 3) command.Value = operands[2];
        if (auto problem = ProblemWithOperands(command)) return UsageError{*problem};
        return command;
    }
    return UsageError{L"unknown command: " + arguments[0]};
}
