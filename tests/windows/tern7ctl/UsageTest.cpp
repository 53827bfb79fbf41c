// tern7ctl's help, and its answer to bad arguments.
#include <gtest/gtest.h>

#include <string>

#include "Tern7ctlRun.h"

namespace {

TEST(Tern7ctlUsage, HelpExplainsEveryCommandAndBadArgumentsExitWith2) {
    const Tern7ctlInstall install;
    const CommandResult help = install.Run(L"--help");
    EXPECT_EQ(help.ExitCode, 0u);
    for (const char* command : {"show", "get SECTION KEY", "set SECTION KEY VALUE", "apply", "watch"})
        EXPECT_NE(help.Output.find(command), std::string::npos) << command;

    for (const wchar_t* arguments : {L"", L"frobnicate", L"set Setting Profile", L"set \"GROUP0]\" DPI 4"}) {
        const CommandResult result = install.Run(arguments);
        EXPECT_EQ(result.ExitCode, 2u) << arguments;
        EXPECT_NE(result.Output.find("Usage: tern7ctl"), std::string::npos) << result.Output;
    }
}

}  // namespace
