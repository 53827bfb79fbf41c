#pragma once
// Carries out one command of the control tool on the virtual mouse: simmouse.exe runs it
// for its command line, a test in its own process for the same words (VirtualMouse.h).
#include <windows.h>

#include <cstdint>
#include <string>

#include "ToolCommand.h"

namespace virtualmouse {

struct ToolSettings {
    std::uint16_t vendorId = 0;
    std::wstring packageFolder;  // the drivers and their .inf, for install; ends with a backslash
};

struct ToolResult {
    int exitCode = kExitOk;
    std::string output;  // lines, each ending with '\n'
};

ToolResult RunToolCommand(const ToolCommand& command, const ToolSettings& settings);

}  // namespace virtualmouse
