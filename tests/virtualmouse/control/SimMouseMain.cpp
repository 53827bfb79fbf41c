// simmouse.exe: the virtual mouse's control tool; one command a run.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ModulePaths.h"
#include "ToolCommand.h"
#include "ToolRunner.h"

#ifndef TERN7_VENDOR_ID
#error "TERN7_VENDOR_ID must be defined by the build"
#endif

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(virtualmouse::ToolWord(argv[i]));
    const virtualmouse::ParsedCommand parsed = virtualmouse::ParseToolCommand(args);
    if (!parsed.command) {
        std::fprintf(stderr, "simmouse: %s\n", parsed.error.c_str());
        return virtualmouse::kExitUsage;
    }
    // The drivers and their .inf sit beside the tool.
    const virtualmouse::ToolSettings settings{TERN7_VENDOR_ID, ProgramFolder()};
    const virtualmouse::ToolResult result = virtualmouse::RunToolCommand(*parsed.command, settings);
    std::fputs(result.output.c_str(), result.exitCode == virtualmouse::kExitOk ? stdout : stderr);
    return result.exitCode;
}
