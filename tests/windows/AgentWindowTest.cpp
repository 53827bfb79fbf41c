// The agent's main window in the test process, without HidDevice.dll beside it: the
// identifier rules driven with the library's own notifications, and the start-up and
// session handling without a mouse. notifyhost.exe beside the test is a stand-in that
// logs its launches.
#include <gtest/gtest.h>

#include <thread>

#include "AgentState.h"
#include "ComApartment.h"
#include "CorvidhidDlg.h"
#include "IniFile.h"
#include "ModulePaths.h"
#include "PathText.h"
#include "ProgramNames.h"
#include "ProgramStandIn.h"
#include "SettingsToolContract.h"
#include "TestFiles.h"
#include "TestProcess.h"

namespace {

class AgentWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The suite's tests share one process and so the agent's process-wide state.
        ActiveGroup = -1;
        AttachedDeviceIds = DeviceIdList();
        DeleteFileW(notifyLog.c_str());
        ASSERT_TRUE(agent.Create());
        hwnd = agent.GetSafeHwnd();
    }
    void TearDown() override {
        agent.DestroyWindow();
        WaitForNotifyHostGone();
        PumpUntil([] { return TrayCompanions() == 0; }, 5000);
    }

    void Monitor(WPARAM kind, WORD state, WORD id) {
        PostMessageW(hwnd, hid::kMsgDeviceMonitor, kind, MAKELPARAM(state, id));
        PumpFor(0);  // the window is this thread's: handled before this returns
    }
    void Open(WORD id) { Monitor(1, 1, id); }
    void Close(WORD id) { Monitor(1, 0, id); }

    std::vector<std::string> NotifyLog() const { return ReadLines(notifyLog); }
    bool NotifyLogHas(const std::string& word, int count, DWORD timeoutMs = 5000) {
        return PumpUntil([&] { return CountLines(NotifyLog(), word) >= count; }, timeoutMs);
    }
    void WaitForNotifyHostGone() {
        PumpUntil([] { return FindWindowW(nullptr, names::kNotifyHostWindowTitle) == nullptr; }, 5000);
    }
    // The agent starts the companion inside the message's handling, so this holds at once.
    static std::size_t TrayCompanions() { return ChildProcessesNamed(names::kNotifyHostExe); }
    // True once the companion has handled everything the agent posted to it so far.
    bool CompanionCaughtUp() {
        HWND companion = nullptr;
        PumpUntil([&] { return (companion = FindWindowW(nullptr, names::kNotifyHostWindowTitle)) != nullptr; }, 5000);
        const int marks = CountLines(NotifyLog(), "mark");
        return companion && PostMessageW(companion, kStandInMark, 0, 0) && NotifyLogHas("mark", marks + 1);
    }
    int Plug() const {
        return IniFile(JoinPath(appData.Path(), L"Pelora Tern-7\\config.ini")).ReadInt(L"Setting", L"Plug", -1);
    }

    ScratchFolder appData;
    AppDataRedirect redirect{appData.Path()};
    // The agent's program holds COM for the window's whole life.
    ComApartment com;
    const std::wstring notifyLog = JoinPath(ProgramFolder(), L"notifyhost.log");
    CCorvidhidDlg agent;
    HWND hwnd = nullptr;
};

using Ids = std::vector<std::uint32_t>;

TEST_F(AgentWindowTest, StartsHiddenWithoutALibraryAndRecordsNoMouse) {
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_EXSTYLE), WS_EX_TOOLWINDOW);
    EXPECT_EQ(agent.DeviceOpen, 0);
    EXPECT_EQ(AgentWindow, &agent);
    // Saved at once, or a moment later when another program held the file's lock.
    EXPECT_TRUE(PumpUntil([&] { return Plug() == 0; }, 5000));
    EXPECT_EQ(agent.CurrentSettings, agent.AppliedSettings);
    EXPECT_EQ(agent.WriteDelay, 10);
    EXPECT_EQ(TrayCompanions(), 0u) << "no tray companion without a mouse";
}

TEST_F(AgentWindowTest, TheMainCollectionStartsTheTrayCompanionAndTheSecondIsOnlyListed) {
    ActiveGroup = 1;
    Open(2);
    EXPECT_EQ(AttachedDeviceIds.Ids(), Ids{2});
    EXPECT_EQ(agent.DeviceOpen, 1);
    EXPECT_EQ(ActiveGroup, -1);
    ASSERT_TRUE(NotifyLogHas("running", 1));

    ActiveGroup = 2;
    Open(3);
    EXPECT_EQ(AttachedDeviceIds.Ids(), (Ids{2, 3}));
    EXPECT_EQ(ActiveGroup, 2);
    EXPECT_EQ(TrayCompanions(), 1u);
    EXPECT_EQ(CountLines(NotifyLog(), "launch"), 1);
}

TEST_F(AgentWindowTest, IdentifierZeroIsListedButStartsNothing) {
    Open(0);
    EXPECT_EQ(AttachedDeviceIds.Ids(), Ids{0});
    EXPECT_EQ(agent.DeviceOpen, 0);
    EXPECT_EQ(TrayCompanions(), 0u);
}

TEST_F(AgentWindowTest, OnlyTheLastEvenCloseClosesTheTrayCompanion) {
    Open(2);
    Open(3);
    ASSERT_TRUE(NotifyLogHas("running", 1));
    Close(3);
    EXPECT_EQ(AttachedDeviceIds.Ids(), Ids{2});
    ASSERT_TRUE(CompanionCaughtUp()) << "the companion is still there";
    EXPECT_EQ(CountLines(NotifyLog(), "closed"), 0);
    Close(2);
    EXPECT_TRUE(AttachedDeviceIds.Empty());
    EXPECT_TRUE(NotifyLogHas("closed", 1));
    EXPECT_EQ(agent.DeviceOpen, 1) << "known closes leave the link started";
}

TEST_F(AgentWindowTest, ACloseForAnUnknownIdentifierMarksTheLinkStopped) {
    Open(2);
    ASSERT_TRUE(NotifyLogHas("running", 1));
    Close(5);
    EXPECT_EQ(agent.DeviceOpen, 0);
    EXPECT_EQ(AttachedDeviceIds.Ids(), Ids{2});
    Close(2);
    EXPECT_TRUE(NotifyLogHas("closed", 1));
    // The agent starts no second companion while the first one's window is still there.
    ASSERT_TRUE(PumpUntil([] { return FindWindowW(nullptr, names::kNotifyHostWindowTitle) == nullptr; }, 5000));
    // An unknown even identifier with nothing listed closes the companion too.
    Open(2);
    ASSERT_TRUE(NotifyLogHas("running", 2));
    Close(2);
    ASSERT_TRUE(NotifyLogHas("closed", 2));
    WaitForNotifyHostGone();
    Open(3);
    Close(3);
    Close(4);
    EXPECT_EQ(agent.DeviceOpen, 0);
}

TEST_F(AgentWindowTest, AnIdentifierOpenedTwiceIsListedTwice) {
    Open(2);
    Open(2);
    EXPECT_EQ(AttachedDeviceIds.Ids(), (Ids{2, 2}));
    Close(2);
    EXPECT_EQ(AttachedDeviceIds.Ids(), Ids{2});
    ASSERT_TRUE(CompanionCaughtUp()) << "the companion is still there";
    EXPECT_EQ(CountLines(NotifyLog(), "closed"), 0);
}

TEST_F(AgentWindowTest, OtherNotificationsOfTheLibraryChangeNothing) {
    Monitor(0, 1, 2);
    Monitor(2, 1, 2);
    Monitor(1, 2, 2);
    EXPECT_TRUE(AttachedDeviceIds.Empty());
    EXPECT_EQ(agent.DeviceOpen, 0);
}

TEST_F(AgentWindowTest, SessionChangesRecordThePlugStateOnlyWhenTheMouseIsThere) {
    IniFile config(JoinPath(appData.Path(), L"Pelora Tern-7\\config.ini"));
    config.WriteInt(L"Setting", L"Plug", 1);
    EXPECT_EQ(SendMessageW(hwnd, WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, 1), 0);
    EXPECT_TRUE(PumpUntil([&] { return Plug() == 0; }, 5000));
    // Without the library the mouse is not found again, so nothing is recorded.
    EXPECT_EQ(SendMessageW(hwnd, WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, 1), 0);
    EXPECT_EQ(Plug(), 0);
    EXPECT_EQ(SendMessageW(hwnd, WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 1), 0);
}

TEST_F(AgentWindowTest, TheMessageTableAnswers) {
    EXPECT_EQ(SendMessageW(hwnd, WM_DEVICECHANGE, 0x8000, 0), TRUE);
    EXPECT_EQ(SendMessageW(hwnd, WM_DEVICECHANGE, 7, 0), TRUE);
    EXPECT_EQ(SendMessageW(hwnd, 1284, 0, 0), 0);
    EXPECT_EQ(SendMessageW(hwnd, settings_tool::kMsgApplySettings, 0, 0), 0);
}

}  // namespace

namespace {

TEST_F(AgentWindowTest, ABurstOfReportsFromTheLibrarysThreadIsHandledInOrderOnTheWindowsThread) {
    agent.CurrentSettings.TrayEnabled = 0;  // no display program to wait for
    std::thread library([] {
        const std::uint8_t ignored[9] = {3, 0x05, 0};
        for (int i = 0; i < 999; ++i) DeviceInputCallback(2, ignored, 3);
        const std::uint8_t profile3[9] = {3, 0x30, 0};
        DeviceInputCallback(2, profile3, 3);
    });
    library.join();
    ASSERT_TRUE(PumpUntil([&] { return agent.CurrentSettings.Profile == 2; }, 20000));
    EXPECT_EQ(ActiveGroup, 2);
    MSG left;
    EXPECT_FALSE(PeekMessageW(&left, hwnd, kMsgInputReportsWaiting, kMsgInputReportsWaiting, PM_NOREMOVE));
}

}  // namespace
