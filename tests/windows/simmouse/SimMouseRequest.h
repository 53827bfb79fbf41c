#pragma once
// A request to the simulated mouse's server, asked from the test's own process in the words
// of the control tool's command line, with the exit status and output the tool would give.
// The tool's own handling of its command line is tested against the program itself.
#include <string>

#include "TestProcess.h"

// The pipe as the tool's --pipe takes it: a bare name or a full path.
CommandResult AskSimMouse(const std::wstring& pipe, const std::wstring& arguments);
