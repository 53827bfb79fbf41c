// The settings tool's apply command carried out by hid.exe: config.ini reloaded, the
// pointer settings applied, the profile and the global settings uploaded to the mouse
// behind the progress window, and the result reported.
#include <gtest/gtest.h>

#include <optional>

#include "AgentHarness.h"
#include "OsdContract.h"
#include "SettingsImage.h"
#include "SettingsToolContract.h"
#include "TestWindow.h"

namespace {

using settings_tool::kMsgApplyDone;
using settings_tool::kMsgApplySettings;
using settings_tool::kMsgCpiChanged;

constexpr wchar_t kProgressTitle[] = L"OvixTessalyProgressbar";

class ApplyCommandTest : public AgentWithMouseTest {
protected:
    void SetUp() override {
        Install(true);
        ASSERT_TRUE(install.Add(L"skins"));
    }
    // Posts the apply command as the settings tool does; the result, or -1 without one.
    LPARAM Apply(DWORD timeoutMs = 15000) {
        const int before = settingsTool->Count(kMsgApplyDone);
        PostMessageW(window, kMsgApplySettings, 0, 0);
        if (!settingsTool->WaitFor(kMsgApplyDone, before + 1, timeoutMs)) return -1;
        return settingsTool->Received().back().LParam;
    }

    std::optional<TestWindow> settingsTool{std::in_place, names::kSettingsToolWindowTitle};
};

TEST_F(ApplyCommandTest, UploadsTheCurrentProfileThenTheGlobalSettingsAndAppliesThePointerSettings) {
    Start();
    const IniFile config = UserConfig();
    config.WriteInt(L"Setting", L"Profile", 1);
    config.WriteInt(L"Setting", L"PollingRate", 2);
    config.WriteInt(L"GROUP1", L"DPI", 2);
    config.WriteInt(L"GROUP1", L"LedState", 3);
    config.WriteInt(L"GROUP1", L"FlashState", 2);
    config.WriteInt(L"GROUP1", L"XYSensitivityEnabled", 0);
    config.WriteInt(L"GROUP1", L"OFASensitivity", 7);
    config.WriteInt(L"GROUP1", L"DoubleClickSpeed", 3);
    config.WriteInt(L"ButtonAssigned1_3", L"ButtonFunc", kRunProgramFunc);
    mouse.Run(L"clear-log");

    EXPECT_EQ(Apply(), settings_tool::kApplySent);

    const std::vector<LoggedWrite> writes = mouse.Writes();
    ASSERT_EQ(writes.size(), 27u);
    for (const LoggedWrite& write : writes) {
        EXPECT_TRUE(write.Ok);
        EXPECT_EQ(write.Collection, 3u) << "to the mouse's second collection";
        ASSERT_EQ(write.Bytes.size(), 33u);
        EXPECT_EQ(write.Bytes[0], 0);
    }
    const std::vector<std::uint8_t>& header = writes[0].Bytes;
    EXPECT_EQ(std::vector<int>(header.begin() + 1, header.begin() + 4), (std::vector<int>{7, 2, 2}));
    EXPECT_EQ(std::vector<int>(header.begin() + 29, header.end()), (std::vector<int>{0x55, 0xAA, 0x33, 0xCC}));
    const std::vector<std::uint8_t>& parameters = writes[1].Bytes;
    EXPECT_EQ(std::vector<int>(parameters.begin() + 1, parameters.begin() + 6), (std::vector<int>{2, 0, 0x48, 7, 7}));
    // Button 3 runs its program: slot 4, the first bytes of page 12.
    EXPECT_EQ(std::vector<int>(writes[2 + 12].Bytes.begin() + 1, writes[2 + 12].Bytes.begin() + 5),
              (std::vector<int>{4, 0, 0, 0xF8}));
    const std::vector<std::uint8_t>& global = writes[26].Bytes;
    EXPECT_EQ(std::vector<int>(global.begin() + 1, global.begin() + 5), (std::vector<int>{7, 1, 2, 4}));

    EXPECT_EQ(GetDoubleClickTime(), 900u - 70u * 3u);
    EXPECT_TRUE(PumpUntil([] { return FindWindowW(nullptr, kProgressTitle) == nullptr; }, 5000))
        << "the progress window goes";
}

TEST_F(ApplyCommandTest, WhenTheMouseRefusesEveryWriteTheAgentKeepsItsPreviousSettings) {
    Start();
    UserConfig().WriteInt(L"Setting", L"Profile", 2);
    UserConfig().WriteInt(L"GROUP2", L"DPI", 1);
    mouse.Run(L"fail all");
    mouse.Run(L"clear-log");

    PostMessageW(window, kMsgApplySettings, 0, 0);
    HWND progress = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (progress = FindWindowW(nullptr, kProgressTitle)) != nullptr; }, 10000));
    DWORD owner = 0;
    GetWindowThreadProcessId(progress, &owner);
    EXPECT_EQ(owner, agent.Id());
    // The window gets its title before it is shown.
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(progress) != FALSE; }, 10000));
    EXPECT_TRUE(GetWindowLongPtrW(progress, GWL_EXSTYLE) & WS_EX_TOPMOST);

    ASSERT_TRUE(settingsTool->WaitFor(kMsgApplyDone));
    EXPECT_EQ(settingsTool->Received().back().LParam, settings_tool::kApplyWriteFailed);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(progress); }, 5000));
    // Three attempts, each ended by its header; no global report.
    const std::vector<LoggedWrite> writes = mouse.Writes();
    ASSERT_EQ(writes.size(), 3u);
    for (const LoggedWrite& write : writes) {
        EXPECT_FALSE(write.Ok);
        EXPECT_EQ(write.Bytes[2], 2) << "a profile header";
    }

    // The agent went back to profile 1's group: a CPI change lands there, while
    // config.ini keeps what the settings tool wrote.
    mouse.Run(L"fail none");
    ASSERT_EQ(mouse.Run(L"press cpi 4").ExitCode, 0u);
    ASSERT_TRUE(settingsTool->WaitFor(kMsgCpiChanged));
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP0", L"DPI", -1), 4);
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP2", L"DPI", -1), 1);
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"Profile", -1), 2);
}

TEST_F(ApplyCommandTest, WithoutAMouseNothingIsWrittenAndTheNewSettingsAreKept) {
    Start(false);
    UserConfig().WriteInt(L"Setting", L"Profile", 1);
    mouse.Run(L"clear-log");

    EXPECT_EQ(Apply(), settings_tool::kApplyNoDevice);
    EXPECT_TRUE(mouse.Writes().empty());

    // The freshly loaded profile stays current: with the mouse back, its CPI key
    // changes profile 2's group.
    PlugIn();
    ASSERT_EQ(mouse.Run(L"press cpi 1").ExitCode, 0u);
    ASSERT_TRUE(settingsTool->WaitFor(kMsgCpiChanged));
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP1", L"DPI", -1), 1);
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP0", L"DPI", -1), 3);
}

TEST_F(ApplyCommandTest, ReportsArrivingDuringAnUploadAreHandledAfterIt) {
    TestWindow osd(names::kOsdWindowTitle);
    Start();
    mouse.Run(L"clear-log");
    PostMessageW(window, kMsgApplySettings, 0, 0);
    for (int i = 0; i < 20; ++i) ASSERT_EQ(mouse.Run(L"inject 03 02 00").ExitCode, 0u);

    ASSERT_TRUE(settingsTool->WaitFor(kMsgApplyDone));
    EXPECT_EQ(settingsTool->Received().back().LParam, settings_tool::kApplySent);
    ASSERT_TRUE(settingsTool->WaitFor(kMsgCpiChanged, 20));
    EXPECT_EQ(osd.Count(osd::kMsgValueNotice), 20);
    EXPECT_EQ(mouse.Writes().size(), 27u);
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP0", L"DPI", -1), 2);
}

TEST_F(ApplyCommandTest, Tern7ctlChangesASettingAndHasItUploaded) {
    settingsTool.reset();  // the command-line tool is the settings tool here
    Start();
    const std::wstring tool = L"\"" + DistFolder() + L"tern7ctl.exe\" ";

    ASSERT_EQ(RunCommand(tool + L"set GROUP0 DPI 4").ExitCode, 0u);
    mouse.Run(L"clear-log");
    const CommandResult applied = RunCommand(tool + L"apply");
    EXPECT_EQ(applied.ExitCode, 0u) << applied.Output;
    EXPECT_NE(applied.Output.find("sent"), std::string::npos) << applied.Output;
    const std::vector<LoggedWrite> writes = mouse.Writes();
    ASSERT_EQ(writes.size(), 27u);
    EXPECT_EQ(writes[1].Bytes[1], 4) << "the new CPI level went to the mouse";
}

}  // namespace
