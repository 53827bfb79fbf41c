// simmouse.exe as scripts and tests drive it: exit statuses, output, one server a pipe.
#include <windows.h>

#include <gtest/gtest.h>

#include "SimMouseProcess.h"

namespace {

using simtest::SimMouseProcesses;
using simtest::ToolRun;

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

class SimMouseCli : public ::testing::Test {
protected:
    ToolRun Run(const std::wstring& arguments) { return processes_.RunTool(arguments, pipe_); }

    const std::wstring pipe_ = simtest::UniquePipeName();
    SimMouseProcesses processes_;
};

TEST_F(SimMouseCli, WithoutAServerRequestsExitTwo) {
    const ToolRun run = Run(L"state");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_TRUE(Contains(run.output, "simmouse: no device server")) << run.output;
    EXPECT_EQ(Run(L"wait-ready 200").exitCode, 1u);
}

TEST_F(SimMouseCli, HelpNamesEveryCommand) {
    const ToolRun run = Run(L"--help");
    EXPECT_EQ(run.exitCode, 0u);
    for (const char* command : {"serve", "attach", "detach", "inject", "fail", "press profile", "press cpi",
                                "press button", "log", "clear-log", "state", "wait-log", "quit", "--pipe",
                                "--repeat", "--interval"}) {
        EXPECT_TRUE(Contains(run.output, command)) << command;
    }
}

TEST_F(SimMouseCli, BadCommandLinesExitThree) {
    EXPECT_EQ(Run(L"explode").exitCode, 3u);
    EXPECT_EQ(Run(L"press button").exitCode, 3u);
    EXPECT_EQ(Run(L"inject 3 20").exitCode, 3u);
    EXPECT_EQ(Run(L"inject 03 20 00 --repeat 0").exitCode, 3u);
    EXPECT_EQ(Run(L"inject 03 20 00 --interval 5").exitCode, 3u) << "an interval without repeats";
    EXPECT_EQ(Run(L"press cpi 2 --repeat 2").exitCode, 3u);
    EXPECT_EQ(Run(L"inject 03 20 00 --repeat 1000000 --interval 60000").exitCode, 3u) << "longer than a day";
}

TEST_F(SimMouseCli, StateFollowsAttachAndKeys) {
    ASSERT_TRUE(processes_.StartServer(pipe_, L"--vendor 0x1a2b"));
    ToolRun state = Run(L"state");
    ASSERT_EQ(state.exitCode, 0u);
    EXPECT_TRUE(Contains(state.output, "attached: no")) << state.output;
    EXPECT_TRUE(Contains(state.output, "vendor: 1a2b product: 0143")) << state.output;

    EXPECT_EQ(Run(L"press profile 2").exitCode, 1u) << "a detached mouse has no keys";
    ASSERT_EQ(Run(L"attach").exitCode, 0u);
    const ToolRun press = Run(L"press profile 3");
    EXPECT_EQ(press.exitCode, 0u);
    EXPECT_TRUE(Contains(press.output, "sent 03 30 00")) << press.output;
    EXPECT_EQ(Run(L"press cpi 2").exitCode, 0u);

    state = Run(L"state");
    EXPECT_TRUE(Contains(state.output, "attached: yes")) << state.output;
    EXPECT_TRUE(Contains(state.output, "profile: 3")) << state.output;
    EXPECT_TRUE(Contains(state.output, "cpi: 2")) << state.output;
    EXPECT_TRUE(Contains(state.output, "stored: none")) << state.output;
}

TEST_F(SimMouseCli, RefusedRequestsExitOne) {
    ASSERT_TRUE(processes_.StartServer(pipe_, L"--attached"));
    EXPECT_EQ(Run(L"press cpi 9").exitCode, 1u);
    EXPECT_EQ(Run(L"fail 0").exitCode, 1u);
    ASSERT_EQ(Run(L"detach").exitCode, 0u);
    const ToolRun repeat = Run(L"inject 03 20 00 --repeat 3 --interval 1");
    EXPECT_EQ(repeat.exitCode, 1u);
    EXPECT_TRUE(Contains(repeat.output, "mouse detached after 0 reports")) << repeat.output;
    const ToolRun wait = Run(L"wait-log \"write 3 ok\" 300");
    EXPECT_EQ(wait.exitCode, 1u);
    EXPECT_TRUE(Contains(wait.output, "timeout")) << wait.output;
}

TEST_F(SimMouseCli, OnlyOneServerPerPipe) {
    ASSERT_TRUE(processes_.StartServer(pipe_));
    const ToolRun second = Run(L"serve");
    EXPECT_EQ(second.exitCode, 1u);
    EXPECT_TRUE(Contains(second.output, "already served")) << second.output;
    EXPECT_EQ(Run(L"state").exitCode, 0u) << "the first server still serves";
}

TEST_F(SimMouseCli, QuitEndsTheServer) {
    ASSERT_TRUE(processes_.StartServer(pipe_));
    EXPECT_TRUE(processes_.QuitServer(pipe_));
    EXPECT_EQ(Run(L"state").exitCode, 2u);
}


}  // namespace
