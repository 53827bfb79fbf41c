// Setwell.exe as a user runs it from the install folder: what it shows of config.ini,
// Apply against a stand-in agent and against the real one with the virtual mouse,
// the agent's own changes, the second start and the unsaved-changes question.
#include <gtest/gtest.h>

#include <optional>

#include "AgentHarness.h"
#include "ApplyStatus.h"
#include "SettingsImage.h"
#include "SettingsToolContract.h"
#include "SetwellDriver.h"
#include "SetwellIds.h"
#include "TestWindow.h"

namespace {

using settings_tool::kMsgApplySettings;

std::wstring Status(ApplyState state) { return ApplyStateText(state); }

class SetwellTest : public AgentTest {
protected:
    void SetUp() override {
        Install(false);
        ASSERT_TRUE(install.Add(L"Setwell.exe"));
    }
    void TearDown() override { setwell.CloseDiscardingEdits(); }
    void StartSetwell() { ASSERT_TRUE(setwell.Start(install.Path())); }

    SetwellDriver setwell;
};

TEST_F(SetwellTest, AppliesTheEditsAndShowsEachAnswerOfTheAgent) {
    TestWindow agent(names::kAgentWindowTitle);
    StartSetwell();
    EXPECT_EQ(setwell.Selected(IDC_CPI), 3) << "the default level of an untouched file";

    ASSERT_TRUE(setwell.Select(IDC_EDIT_PROFILE, 1));
    ASSERT_TRUE(setwell.Select(IDC_CPI, 2));
    setwell.SetTrackbar(IDC_POINTER_SPEED, 8);
    ASSERT_TRUE(setwell.Select(IDC_BUTTON, 2));
    ASSERT_TRUE(setwell.Select(IDC_FUNCTION, kRunProgramFunc));
    setwell.Type(IDC_PATH, L"C:\\Tools\\run.exe");
    EXPECT_EQ(setwell.Text(IDC_UNSAVED), L"Unsaved changes");

    const std::pair<LPARAM, ApplyState> answers[] = {
        {settings_tool::kApplySent, ApplyState::Updated},
        {settings_tool::kApplyWriteFailed, ApplyState::WriteFailed},
        {settings_tool::kApplyNoDevice, ApplyState::NoMouse},
    };
    int applies = 0;
    for (const auto& [result, state] : answers) {
        setwell.Click(IDC_APPLY);
        ASSERT_TRUE(agent.WaitFor(kMsgApplySettings, ++applies));
        EXPECT_EQ(setwell.Text(IDC_STATUS), Status(ApplyState::Updating));
        EXPECT_FALSE(IsWindowEnabled(setwell.Item(IDC_APPLY))) << "one apply at a time";
        PostMessageW(setwell.Window(), settings_tool::kMsgApplyDone, agent.Received().back().WParam, result);
        EXPECT_TRUE(setwell.WaitForText(IDC_STATUS, Status(state))) << "answer " << result;
        EXPECT_TRUE(IsWindowEnabled(setwell.Item(IDC_APPLY)));
    }
    EXPECT_EQ(setwell.Text(IDC_UNSAVED), L"");

    // The file held the edits before the agent was asked.
    const IniFile config = UserConfig();
    EXPECT_EQ(config.ReadInt(L"GROUP1", L"DPI", -1), 2);
    EXPECT_EQ(config.ReadInt(L"GROUP1", L"MouseSensitivity", -1), 8);
    EXPECT_EQ(config.ReadInt(L"GROUP0", L"DPI", -1), 3);
    EXPECT_EQ(config.ReadInt(L"ButtonAssigned1_3", L"ButtonFunc", -1), kRunProgramFunc);
    EXPECT_EQ(config.ReadString(L"ButtonAssigned1_3", L"Path", L""), L"C:\\Tools\\run.exe");
}

TEST_F(SetwellTest, SaysSoWhenNoAgentRunsOrItDoesNotAnswer) {
    StartSetwell();
    ASSERT_TRUE(setwell.Select(IDC_POLLING_RATE, 0));
    setwell.Click(IDC_APPLY);
    EXPECT_EQ(setwell.Text(IDC_STATUS), Status(ApplyState::NoAgent));
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"PollingRate", -1), 0) << "saved all the same";

    TestWindow silentAgent(names::kAgentWindowTitle);
    setwell.Click(IDC_APPLY);
    ASSERT_TRUE(silentAgent.WaitFor(kMsgApplySettings));
    EXPECT_TRUE(setwell.WaitForText(IDC_STATUS, Status(ApplyState::NoAnswer), kApplyAnswerTimeoutMs + 10000));
}

TEST_F(SetwellTest, OnlyTheAnswerToItsOwnApplyCountsAndForeignNotificationsAreIgnored) {
    TestWindow agent(names::kAgentWindowTitle);
    StartSetwell();
    // A notification posted from another program points nowhere in this one.
    ASSERT_TRUE(PostMessageW(setwell.Window(), WM_NOTIFY, 0, 1));
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(setwell.Window(), WM_NOTIFY, 0, 1, SMTO_NORMAL, 5000, &ignored);
    ASSERT_TRUE(Answers(setwell.Window(), 5000)) << "still running";

    ASSERT_TRUE(setwell.Select(IDC_CPI, 1));
    PostMessageW(setwell.Window(), WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(agent.WaitFor(kMsgApplySettings));
    const WPARAM token = agent.Received().back().WParam;
    EXPECT_NE(token, 0u);
    // An answer that is not to this command: forged, or late from an earlier one.
    PostMessageW(setwell.Window(), settings_tool::kMsgApplyDone, 0, settings_tool::kApplySent);
    PostMessageW(setwell.Window(), settings_tool::kMsgApplyDone, token + 1, settings_tool::kApplySent);
    ASSERT_TRUE(Answers(setwell.Window(), 5000));
    EXPECT_TRUE(IsWindow(setwell.Window())) << "OK closes only when the mouse took the settings";
    EXPECT_EQ(setwell.Text(IDC_STATUS), Status(ApplyState::Updating));

    PostMessageW(setwell.Window(), settings_tool::kMsgApplyDone, token, settings_tool::kApplySent);
    EXPECT_TRUE(setwell.WaitForExit());
}

TEST_F(SetwellTest, WhileAnotherProgramHoldsTheFilesLockItSaysSoAndSavesOnceItIsFree) {
    TestWindow agent(names::kAgentWindowTitle);
    UniqueKernelHandle lock(CreateMutexW(nullptr, TRUE, names::kConfigFileMutex));
    ASSERT_TRUE(lock);
    StartSetwell();  // comes up at once: the first-run copy waits for the lock
    ASSERT_TRUE(setwell.Select(IDC_CPI, 2));
    setwell.Click(IDC_APPLY);
    EXPECT_EQ(setwell.Text(IDC_STATUS), Status(ApplyState::FileBusy));
    EXPECT_FALSE(IsWindowEnabled(setwell.Item(IDOK)));
    EXPECT_EQ(agent.Count(kMsgApplySettings), 0) << "not asked before the settings are saved";

    ReleaseMutex(lock.get());
    lock.reset();
    ASSERT_TRUE(agent.WaitFor(kMsgApplySettings));
    EXPECT_EQ(setwell.Text(IDC_STATUS), Status(ApplyState::Updating));
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP0", L"DPI", -1), 2);
}

TEST_F(SetwellTest, ShowsTheAgentsProfileAndCpiChangesAndKeepsTheUsersEdits) {
    StartSetwell();
    ASSERT_TRUE(setwell.Select(IDC_LIGHT, 1));  // an edit elsewhere
    ASSERT_TRUE(setwell.Select(IDC_EDIT_PROFILE, 2));
    ASSERT_NE(setwell.Selected(IDC_CPI), 3);
    ASSERT_TRUE(setwell.Select(IDC_CPI, 3));  // and one of a level the agent changes too

    // As the agent does: the key first, then the notice.
    const IniFile config = UserConfig();
    config.WriteInt(L"GROUP0", L"DPI", 4);
    config.WriteInt(L"GROUP2", L"DPI", 2);
    PostMessageW(setwell.Window(), settings_tool::kMsgCpiChanged, 4, 0);
    config.WriteInt(L"Setting", L"Profile", 2);
    PostMessageW(setwell.Window(), settings_tool::kMsgProfileChanged, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return setwell.Selected(IDC_ACTIVE_PROFILE) == 2; }, 10000));

    EXPECT_EQ(setwell.Selected(IDC_CPI), 3) << "the user's edit of profile 3's level wins";
    ASSERT_TRUE(setwell.Select(IDC_EDIT_PROFILE, 0));
    EXPECT_EQ(setwell.Selected(IDC_CPI), 4);
    EXPECT_EQ(setwell.Selected(IDC_LIGHT), 1);
    EXPECT_EQ(setwell.Text(IDC_UNSAVED), L"Unsaved changes");
}

TEST_F(SetwellTest, ASecondStartBringsTheFirstWindowToTheFront) {
    StartSetwell();
    TestWindow other(L"Another program");
    other.ShowInFront(RECT{0, 0, 200, 200});
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == other.Handle(); }, 5000));

    SetwellDriver second;
    ASSERT_TRUE(second.Process().Start(L"\"" + install.File(L"Setwell.exe") + L"\"", install.Path()));
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.Process().ExitCode(), 0u);
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == setwell.Window(); }, 5000));
    EXPECT_EQ(WindowsOfProcess(second.Process().Id(), names::kSettingsToolWindowTitle).size(), 0u);
}

TEST_F(SetwellTest, ClosingWithUnsavedChangesAsksFirst) {
    StartSetwell();
    setwell.SetChecked(IDC_TRAY_ENABLED, false);

    // Cancel keeps the window and the edit.
    PostMessageW(setwell.Window(), WM_CLOSE, 0, 0);
    HWND question = setwell.WaitForQuestion();
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(question); }, 5000));
    EXPECT_TRUE(IsWindow(setwell.Window()));
    EXPECT_EQ(setwell.Text(IDC_UNSAVED), L"Unsaved changes");

    // Yes applies; with no agent the window stays to say so.
    PostMessageW(setwell.Window(), WM_CLOSE, 0, 0);
    question = setwell.WaitForQuestion();
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(setwell.WaitForText(IDC_STATUS, Status(ApplyState::NoAgent)));
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"TrayEnabled", -1), 0);

    // No discards: nothing more is written.
    setwell.SetChecked(IDC_TRAY_ENABLED, true);
    PostMessageW(setwell.Window(), WM_CLOSE, 0, 0);
    question = setwell.WaitForQuestion();
    ASSERT_NE(question, nullptr);
    PostMessageW(question, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(setwell.WaitForExit());
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"TrayEnabled", -1), 0);
}

TEST_F(SetwellTest, ClosesWithoutAskingWhenNothingChanged) {
    StartSetwell();
    PostMessageW(setwell.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(setwell.WaitForExit());
}

TEST_F(SetwellTest, ShowsADamagedFileAsTheAgentLoadsItAndWritesItBackWhole) {
    ASSERT_TRUE(CreateDirectoryW(DataFolder().c_str(), nullptr));
    WriteFileBytes(DataFolder() + L"config.ini",
                   std::string("garbage ]]=[\r\n=\r\n[Setting]\r\nProfile=7\r\nPollingRate=x\r\n"
                               "[GROUP0]\r\nDPI=9\r\nLedState=-4\r\n[ButtonAssigned0_2]\r\nButtonFunc=300\r\n"
                               "[GROUP0]\r\nButtonAssigned0_1=ZZ\r\n"));
    StartSetwell();
    EXPECT_EQ(setwell.Selected(IDC_ACTIVE_PROFILE), 0);
    EXPECT_EQ(setwell.Selected(IDC_POLLING_RATE), 1);
    EXPECT_EQ(setwell.Selected(IDC_CPI), 3);
    EXPECT_EQ(setwell.Selected(IDC_LIGHT), 3);
    ASSERT_TRUE(setwell.Select(IDC_BUTTON, 1));
    EXPECT_EQ(setwell.Selected(IDC_FUNCTION), 44) << "the low 8 bits of 300";

    setwell.Click(IDC_APPLY);
    EXPECT_EQ(setwell.Text(IDC_STATUS), Status(ApplyState::NoAgent));
    const IniFile config = UserConfig();
    EXPECT_EQ(config.ReadInt(L"GROUP0", L"DPI", -1), 3);
    EXPECT_EQ(config.ReadInt(L"GROUP2", L"FlashState", -1), 2);
    EXPECT_EQ(config.ReadInt(L"ButtonAssigned2_8", L"ButtonFunc", -1), 7);
}

TEST_F(SetwellTest, KeyRecordingEndsWhenTheFocusLeavesExceptForAClickOnStop) {
    StartSetwell();
    ASSERT_TRUE(setwell.Select(IDC_FUNCTION, kKeySequenceFunc));
    const auto recording = [&] { return setwell.Text(IDC_RECORD) == L"Stop"; };
    setwell.Click(IDC_RECORD);
    ASSERT_TRUE(recording());
    setwell.Key(IDC_KEYS, 'A', false);

    // Pressing Stop moves the focus there first; the click then ends the recording.
    SendMessageW(setwell.Item(IDC_KEYS), WM_KILLFOCUS, reinterpret_cast<WPARAM>(setwell.Item(IDC_RECORD)), 0);
    EXPECT_TRUE(recording());
    setwell.Key(IDC_KEYS, 'A', true);
    setwell.Click(IDC_RECORD);
    EXPECT_FALSE(recording());
    EXPECT_EQ(setwell.Text(IDC_KEYS), L"A down, A up");

    // Anywhere else ends it at once; keys then no longer count.
    setwell.Click(IDC_RECORD);
    SendMessageW(setwell.Item(IDC_KEYS), WM_KILLFOCUS, reinterpret_cast<WPARAM>(setwell.Item(IDC_APPLY)), 0);
    EXPECT_FALSE(recording());
    setwell.Key(IDC_KEYS, 'B', false);
    EXPECT_EQ(setwell.Text(IDC_KEYS), L"") << "a new recording starts empty";
}

class SetwellWithAgentTest : public AgentWithMouseTest {
protected:
    void SetUp() override {
        Install(true);
        ASSERT_TRUE(install.Add(L"Setwell.exe"));
    }
    void TearDown() override {
        setwell.CloseDiscardingEdits();
        AgentWithMouseTest::TearDown();
    }
    SetwellDriver setwell;
};

TEST_F(SetwellWithAgentTest, OkUploadsTheEditsToTheMouseAndCloses) {
    Start();
    ASSERT_TRUE(setwell.Start(install.Path()));
    ASSERT_TRUE(setwell.Select(IDC_CPI, 4));
    ASSERT_TRUE(setwell.Select(IDC_BUTTON, 2));
    ASSERT_TRUE(setwell.Select(IDC_FUNCTION, 10));  // zoom in
    // Button 4 plays Ctrl+V, recorded from the keyboard.
    ASSERT_TRUE(setwell.Select(IDC_BUTTON, 3));
    ASSERT_TRUE(setwell.Select(IDC_FUNCTION, kKeySequenceFunc));
    setwell.Click(IDC_RECORD);
    setwell.Key(IDC_KEYS, VK_CONTROL, false);
    setwell.Key(IDC_KEYS, 'V', false);
    setwell.Key(IDC_KEYS, 'V', true);
    setwell.Key(IDC_KEYS, VK_CONTROL, true);
    setwell.Click(IDC_RECORD);
    EXPECT_EQ(setwell.Text(IDC_KEYS), L"Left Ctrl down, V down, V up, Left Ctrl up");
    mouse.Run(L"clear-log");

    setwell.Click(IDOK);
    ASSERT_TRUE(setwell.WaitForExit(20000)) << "OK closes once the mouse is updated";

    const std::vector<LoggedWrite> writes = mouse.Writes();
    ASSERT_EQ(writes.size(), 27u);
    EXPECT_EQ(writes[1].Bytes[1], 4) << "the CPI level";
    EXPECT_EQ(writes[1].Bytes[2], 1 << 5) << "button 4 (slot 5) plays a sequence";
    // Slot s travels in pages 3s..3s+2, page k is write 2 + k.
    const std::vector<std::uint8_t>& slot4 = writes[2 + 3 * 4].Bytes;
    EXPECT_EQ(std::vector<int>(slot4.begin() + 1, slot4.begin() + 5), (std::vector<int>{4, 0, 0, 0xAC}));
    const std::vector<std::uint8_t>& slot5 = writes[2 + 3 * 5].Bytes;
    EXPECT_EQ(std::vector<int>(slot5.begin() + 1, slot5.begin() + 11),
              (std::vector<int>{0, 4, 0x00, 0xE0, 0x00, 0x19, 0x80, 0x19, 0x80, 0xE0}));
}

TEST_F(SetwellWithAgentTest, ShowsTheLevelAndProfileTheMousesKeysSelect) {
    Start();
    ASSERT_TRUE(setwell.Start(install.Path()));
    ASSERT_EQ(mouse.Run(L"press cpi 2").ExitCode, 0u);
    EXPECT_TRUE(PumpUntil([&] { return setwell.Selected(IDC_CPI) == 2; }, 10000));
    ASSERT_EQ(mouse.Run(L"press profile 3").ExitCode, 0u);
    EXPECT_TRUE(PumpUntil([&] { return setwell.Selected(IDC_ACTIVE_PROFILE) == 2; }, 10000));
    EXPECT_EQ(setwell.Text(IDC_UNSAVED), L"") << "the agent's changes are already saved";
}

}  // namespace
