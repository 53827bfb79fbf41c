// tern7ctl.exe: the settings tool's side of the system on the command line.
#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "AgentCommands.h"
#include "CommandLine.h"
#include "ConfigCommands.h"
#include "ConsoleOutput.h"
#include "DataFolders.h"
#include "ExitCodes.h"
#include "SystemLibraries.h"

namespace {

int Run(const Command& command) {
    switch (command.Kind) {
        case CommandKind::Help: PrintLine(kUsageText); return kExitOk;
        case CommandKind::Show: ResolveDataFolders(); return ShowSettings();
        case CommandKind::Get: ResolveDataFolders(); return GetSetting(command.Section, command.Key);
        case CommandKind::Set: ResolveDataFolders(); return SetSetting(command.Section, command.Key, command.Value);
        case CommandKind::Apply: return ApplySettings();
        case CommandKind::Watch: return WatchAgent();
    }
    return kExitUsage;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    RestrictDllSearch();
    const std::vector<std::wstring> arguments(argv + std::min(argc, 1), argv + argc);
    const auto parsed = ParseCommandLine(arguments);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        PrintError(L"tern7ctl: " + error->Message);
        PrintError(kUsageText);
        return kExitUsage;
    }
    return Run(std::get<Command>(parsed));
}
