// hid.exe against what other programs on the desktop and a faulty library can throw at
// it: forged private messages and device notices, requests sent from inside a settings
// broadcast, bursts of keys with the display program missing or never coming up, and a
// library that calls from its own thread after the window went. Each ends in a stated
// result with the agent still answering.
#include <gtest/gtest.h>

#include <optional>

#include "AgentHarness.h"
#include "HidDeviceContract.h"
#include "OsdContract.h"
#include "SettingsToolContract.h"
#include "TestWindow.h"

namespace {

using settings_tool::kMsgApplyDone;
using settings_tool::kMsgApplySettings;
using settings_tool::kMsgCpiChanged;

const std::wstring kStubLibraryFolder = HostFolder(TERN7_STUBLIB_DIR);

class HostileInputTest : public AgentWithMouseTest {
protected:
    // Posted after everything else, the apply command's answer shows that the agent got
    // through every message posted before it.
    int ApplyAndWait(int answersSoFar, DWORD timeoutMs = 15000) {
        EXPECT_TRUE(PostMessageW(window, kMsgApplySettings, 0, 0));
        EXPECT_TRUE(settingsTool.WaitFor(kMsgApplyDone, answersSoFar + 1, timeoutMs));
        return static_cast<int>(settingsTool.Received().back().LParam);
    }
    int Launches(const wchar_t* logName) const {
        int count = 0;
        for (const std::string& line : ReadLines(install.File(logName))) count += line.rfind("launch", 0) == 0;
        return count;
    }

    TestWindow settingsTool{names::kSettingsToolWindowTitle};
};

TEST_F(HostileInputTest, ForgedPrivateMessagesFindNothingToDo) {
    Install(true);
    Start();
    // What a stray or hostile program could send: pointers that point nowhere, wake-ups
    // with nothing queued, notices of a kind the library never sends.
    for (LPARAM bogus : {LPARAM{0}, LPARAM{1}, LPARAM{0x7FFE0000}, LPARAM{-1}}) {
        ASSERT_TRUE(PostMessageW(window, WM_APP + 1, 0, bogus));
        ASSERT_TRUE(PostMessageW(window, WM_APP + 1, 1, bogus));
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(SendMessageTimeoutW(window, WM_APP + 1, 0, bogus, SMTO_NORMAL, 10000, &ignored));
        ASSERT_TRUE(PostMessageW(window, 1284, 0, bogus));
        ASSERT_TRUE(PostMessageW(window, hid::kMsgDeviceMonitor, 7, bogus));
    }
    PostMessageW(HWND_BROADCAST, WM_APP + 1, 0, 0);
    mouse.Run(L"clear-log");
    EXPECT_EQ(ApplyAndWait(0), settings_tool::kApplySent);
    EXPECT_EQ(WriteCount(), 27);

    ASSERT_EQ(mouse.Run(L"press cpi 3").ExitCode, 0u);
    ASSERT_TRUE(settingsTool.WaitFor(kMsgCpiChanged));
    EXPECT_EQ(settingsTool.Received().back().WParam, 3u);
}

TEST_F(HostileInputTest, ForgedDeviceNoticesNeitherGrowWithoutEndNorStartTheTrayCompanionAgain) {
    Install(true);
    Start();
    ASSERT_TRUE(NotifyLogHas("running", 1)) << "its window is up";
    ASSERT_EQ(ApplyAndWait(0), settings_tool::kApplySent);  // the mouse's own notices are through
    const int launches = Launches(L"notifyhost.log");
    for (std::uint16_t id = 100; id < 100 + 2 * 2000; id += 2) {
        ASSERT_TRUE(PostMessageW(window, hid::kMsgDeviceMonitor, hid::kMonitorEvent, hid::MonitorLParam(true, id)));
    }
    mouse.Run(L"clear-log");
    EXPECT_EQ(ApplyAndWait(1), settings_tool::kApplySent) << "the upload still goes to the mouse";
    EXPECT_EQ(WriteCount(), 27);
    EXPECT_EQ(Launches(L"notifyhost.log"), launches) << "its window was there all along";
    EXPECT_TRUE(Responsive());
}

TEST_F(HostileInputTest, AnOpenNoticeForgedBeforeTheMouseArrivesCostsAtMostTheApplyItMeets) {
    Install(true);
    Start(false);  // no mouse yet
    ASSERT_TRUE(PostMessageW(window, hid::kMsgDeviceMonitor, hid::kMonitorEvent, hid::MonitorLParam(true, 40)));
    PlugIn();
    ApplyAndWait(0);  // may fail: the forged identifier stood where uploads go
    mouse.Run(L"clear-log");
    EXPECT_EQ(ApplyAndWait(1), settings_tool::kApplySent) << "the agent found its way back by itself";
    EXPECT_EQ(WriteCount(), 27);
    EXPECT_EQ(ApplyAndWait(2), settings_tool::kApplySent);
    EXPECT_TRUE(Responsive());
}

TEST_F(HostileInputTest, TheAnswerToAnApplyCarriesTheTokenOfItsCommand) {
    Install(true);
    Start();
    for (const WPARAM token : {WPARAM{0x5A17}, WPARAM{0}}) {
        const int before = settingsTool.Count(kMsgApplyDone);
        ASSERT_TRUE(PostMessageW(window, kMsgApplySettings, token, 0));
        ASSERT_TRUE(settingsTool.WaitFor(kMsgApplyDone, before + 1));
        EXPECT_EQ(settingsTool.Received().back().WParam, token) << "a tool that sends none gets none";
        EXPECT_EQ(settingsTool.Received().back().LParam, settings_tool::kApplySent);
    }
}

// A program whose settings broadcast handler sends the agent an apply command and a close
// while the agent's own apply waits for the broadcast.
struct NestingPeer {
    explicit NestingPeer(HWND agent)
        : window(L"nesting peer", {.OnMessage = [this, agent](HWND, UINT message, WPARAM, LPARAM, LRESULT&) {
                     if (message == WM_SETTINGCHANGE && !sent) {
                         sent = true;
                         DWORD_PTR ignored = 0;
                         SendMessageTimeoutW(agent, kMsgApplySettings, 0, 0, SMTO_NORMAL, 10000, &ignored);
                         SendMessageTimeoutW(agent, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &ignored);
                     }
                     return false;
                 }}) {}
    bool sent = false;
    TestWindow window;
};

TEST_F(HostileInputTest, AnApplyAndACloseSentFromInsideTheSettingsBroadcastWaitForTheApplyThatRuns) {
    Install(true);
    Start();
    NestingPeer peer(window);
    mouse.Run(L"clear-log");
    ASSERT_TRUE(PostMessageW(window, kMsgApplySettings, 0, 0));
    ASSERT_TRUE(agent.WaitForExit(30000)) << "the close took effect after the applies";
    window = nullptr;
    EXPECT_TRUE(peer.sent) << "the broadcast reached the peer";
    EXPECT_EQ(agent.ExitCode(), 0u);
    PumpUntil([&] { return settingsTool.Count(kMsgApplyDone) >= 2; }, 2000);
    EXPECT_EQ(settingsTool.Count(kMsgApplyDone), 2) << "one answer for each apply command";
    EXPECT_EQ(WriteCount(), 2 * 27) << "the nested apply ran whole after the first";
}

TEST_F(HostileInputTest, AVolumeKeyBurstWithoutTheDisplayProgramHoldsAnApplyBackByLittle) {
    Install(true);  // no OSD.exe and no display window
    Start();
    ASSERT_EQ(mouse.Run(L"inject --repeat 100 --interval 2 03 E9 00").ExitCode, 0u);
    EXPECT_EQ(ApplyAndWait(0, 15000), settings_tool::kApplySent);
}

TEST_F(HostileInputTest, AVolumeKeyBurstWithADisplayProgramThatNeverShowsStartsItAFewTimesOnly) {
    Install(true);
    // Under this name the stand-in records its start and ends without a window.
    ASSERT_TRUE(install.Add(L"notifyhost.exe", kStandInFolder, L"OSD.exe"));
    Start();
    ASSERT_EQ(mouse.Run(L"inject --repeat 100 --interval 2 03 E9 00").ExitCode, 0u);
    EXPECT_EQ(ApplyAndWait(0, 15000), settings_tool::kApplySent);
    // The starts of one wait for the display run out after five.
    ASSERT_TRUE(PumpUntil([&] { return Launches(L"OSD.log") >= 5; }, 10000));
    EXPECT_LE(Launches(L"OSD.log"), 10) << "one series of starts for the burst, not one for each key";
}

TEST_F(HostileInputTest, ARelativeProgramPathIsNotLookedUpInTheFolderThatStartedTheAgent) {
    ProgramFolder starter;  // where a user happened to be when the agent was started
    ASSERT_TRUE(starter.Add(L"notifyhost.exe", kStandInFolder, L"planted.exe"));
    ASSERT_TRUE(starter.Add(L"notifyhost.exe", kStandInFolder, L"named.exe"));
    Install(true);
    const IniFile installed(install.File(L"config.ini"));
    installed.WriteString(L"ButtonAssigned0_1", L"Path", L"planted.exe");
    installed.WriteString(L"ButtonAssigned0_2", L"Path", starter.File(L"named.exe").c_str());
    Start(true, starter.Path());

    ASSERT_EQ(mouse.Run(L"inject 03 F6 00").ExitCode, 0u);
    ASSERT_EQ(mouse.Run(L"inject 03 F7 00").ExitCode, 0u);
    ASSERT_TRUE(PumpUntil([&] { return FileExists(starter.File(L"named.log")); }, 10000)) << "a full path opens";
    EXPECT_FALSE(FileExists(starter.File(L"planted.log")));
}

TEST_F(HostileInputTest, ALibraryCallingFromItsOwnThreadIsHeardAndOutlivedCleanly) {
    ASSERT_TRUE(debugOutput.Listening());
    Install(false);
    ASSERT_TRUE(install.Add(L"HidDevice.dll", kStubLibraryFolder));
    window = StartAgent(agent);
    ASSERT_NE(window, nullptr);
    // Its CPI key got through amid reports of impossible lengths.
    ASSERT_TRUE(settingsTool.WaitFor(kMsgCpiChanged));
    EXPECT_EQ(settingsTool.Received().back().WParam, 2u);
    EXPECT_TRUE(Responsive());

    // Its burst while the window waited in its start, beyond what the queue holds, is told
    // of in one line, not lost without a word.
    EXPECT_TRUE(debugOutput.WaitForLine(agent.Id(), "input reports dropped: 1024 were waiting", 10000));

    // The library goes on calling after the window is gone.
    ASSERT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
    ASSERT_TRUE(agent.WaitForExit(15000));
    window = nullptr;
    EXPECT_EQ(agent.ExitCode(), 0u);
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP0", L"DPI", -1), 2);
}

}  // namespace
