// tern7ctl apply and watch against a stand-in agent window in this process: the words
// and exit codes scripts rely on, and the notices as they come.
#include <gtest/gtest.h>

#include <string>

#include "AgentCommands.h"
#include "ProgramNames.h"
#include "StandInAgent.h"
#include "Tern7ctlRun.h"

namespace {

class Tern7ctlAgentTest : public ::testing::Test {
protected:
    Tern7ctlInstall install;
};

TEST_F(Tern7ctlAgentTest, ApplyPrintsTheAgentsAnswerAndExitsByIt) {
    struct Case {
        int Answer;
        const char* Words;
        DWORD ExitCode;
    };
    for (const Case& c :
         {Case{0, "sent", 0}, Case{1, "write failed", 3}, Case{2, "no device", 4}, Case{9, "unknown result 9", 1}}) {
        StandInAgent agent(c.Answer);
        ASSERT_TRUE(agent.Ready());
        const CommandResult result = install.Run(L"apply");
        EXPECT_EQ(Trimmed(result.Output), c.Words) << "answer " << c.Answer;
        EXPECT_EQ(result.ExitCode, c.ExitCode) << "answer " << c.Answer;
        EXPECT_EQ(agent.ApplyCommands(), 1);
        EXPECT_TRUE(agent.ParametersWereZero());
    }
    EXPECT_EQ(FindWindowW(nullptr, names::kSettingsToolWindowTitle), nullptr) << "apply leaves no window behind";
}

TEST_F(Tern7ctlAgentTest, ApplyWithoutAnAgentSaysSoAtOnce) {
    ASSERT_EQ(FindWindowW(nullptr, names::kAgentWindowTitle), nullptr);
    const ULONGLONG start = GetTickCount64();
    const CommandResult result = install.Run(L"apply");
    EXPECT_EQ(Trimmed(result.Output), "no agent");
    EXPECT_EQ(result.ExitCode, 5u);
    EXPECT_LT(GetTickCount64() - start, 10000u) << "nothing to wait for";
}

TEST_F(Tern7ctlAgentTest, ApplyGivesUpOnASilentAgent) {
    // The command as the program runs it, in this process with a shorter wait than its
    // fifteen seconds.
    StandInAgent agent(std::nullopt);
    ASSERT_TRUE(agent.Ready());
    constexpr unsigned long kWaitMs = 500;
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(ApplySettings(kWaitMs), 6);
    EXPECT_GE(GetTickCount64() - start, kWaitMs);
    EXPECT_TRUE(PumpUntil([&] { return agent.ApplyCommands() == 1; }, 5000));
    EXPECT_EQ(FindWindowW(nullptr, names::kSettingsToolWindowTitle), nullptr) << "apply leaves no window behind";
    EXPECT_GE(kApplyAnswerTimeoutMs, 10000u) << "an upload may take a while";
}

TEST_F(Tern7ctlAgentTest, WatchPrintsEachNoticeAsItComesAndEndsOnClose) {
    ChildProcess watch;
    ASSERT_TRUE(watch.StartReadingOutput(install.Command(L"watch")));
    HWND window = nullptr;
    ASSERT_TRUE(
        PumpUntil([&] { return (window = FindWindowW(nullptr, names::kSettingsToolWindowTitle)) != nullptr; }, 10000));
    EXPECT_EQ(WindowsOfProcess(watch.Id(), names::kSettingsToolWindowTitle).size(), 1u);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow()) << "a top-level window, which Windows finds by title";

    PostMessageW(window, 1237, 0, 0);
    PostMessageW(window, WM_USER + 7, 0, 0);
    PostMessageW(window, 1238, 2, 0);
    PostMessageW(window, 1295, 0, 1);
    // Each line is out while the watch still runs: a script reading the pipe sees it.
    EXPECT_TRUE(PumpUntil([&] { return watch.Output().find("apply done: write failed") != std::string::npos; }, 5000))
        << watch.Output();
    EXPECT_FALSE(watch.WaitForExit(0));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(watch.WaitForExit(5000));
    EXPECT_EQ(watch.ExitCode(), 0u);
    EXPECT_EQ(watch.Output(), "profile changed\r\ncpi level 2\r\napply done: write failed\r\nclosed\r\n");
}

}  // namespace
