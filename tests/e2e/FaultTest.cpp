// hid.exe when things go wrong around it: the mouse pulled out mid-upload, programs and
// files missing, no data folder. Each ends in a stated result with the agent still
// answering and no setting lost. config.ini held by another program: ConfigFaultTest.cpp.
#include <gtest/gtest.h>

#include <optional>

#include "AgentHarness.h"
#include "OsdContract.h"
#include "SettingsToolContract.h"
#include "TestWindow.h"

namespace {

using settings_tool::kMsgApplyDone;
using settings_tool::kMsgApplySettings;
using settings_tool::kMsgCpiChanged;

class FaultTest : public AgentWithMouseTest {
protected:
    std::optional<TestWindow> settingsTool{std::in_place, names::kSettingsToolWindowTitle};
    std::optional<TestWindow> osd{std::in_place, names::kOsdWindowTitle};
};

TEST_F(FaultTest, AMousePulledOutDuringAnUploadEndsItAsFailedAndTheNextOneGoesThrough) {
    Install(true);
    Start();
    mouse.Run(L"fail all");  // stretches the upload over its retries
    PostMessageW(window, kMsgApplySettings, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return WriteCount() >= 1; }, 10000));
    mouse.Run(L"detach");
    mouse.Run(L"fail none");

    ASSERT_TRUE(settingsTool->WaitFor(kMsgApplyDone));
    EXPECT_EQ(settingsTool->Received().back().LParam, settings_tool::kApplyWriteFailed);
    EXPECT_TRUE(NotifyLogHas("closed", 1)) << "the tray companion went with the mouse";
    ASSERT_TRUE(Responsive());

    PlugIn();
    ASSERT_TRUE(NotifyLogHas("launch", 2));
    mouse.Run(L"clear-log");
    PostMessageW(window, kMsgApplySettings, 0, 0);
    ASSERT_TRUE(settingsTool->WaitFor(kMsgApplyDone, 2));
    EXPECT_EQ(settingsTool->Received().back().LParam, settings_tool::kApplySent);
    EXPECT_EQ(WriteCount(), 27);
}

TEST_F(FaultTest, WithoutTheSettingsToolTheApplyAndTheKeysStillWork) {
    settingsTool.reset();
    Install(true);
    Start();
    mouse.Run(L"clear-log");
    PostMessageW(window, kMsgApplySettings, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return WriteCount() == 27; }, 10000));
    ASSERT_EQ(mouse.Run(L"press cpi 4").ExitCode, 0u);
    ASSERT_TRUE(osd->WaitFor(osd::kMsgValueNotice));
    ASSERT_TRUE(Responsive());
    EXPECT_TRUE(PumpUntil([&] { return UserConfig().ReadInt(L"GROUP0", L"DPI", -1) == 4; }, 5000));
}

TEST_F(FaultTest, WithoutTheSkinTheProgressWindowIsPlainAndTheUploadGoesThrough) {
    Install(true);  // no skins folder
    Start();
    mouse.Run(L"fail 1");  // one retry keeps the window up long enough to be seen
    mouse.Run(L"clear-log");
    PostMessageW(window, kMsgApplySettings, 0, 0);
    EXPECT_TRUE(PumpUntil([] { return FindWindowW(nullptr, L"OvixTessalyProgressbar") != nullptr; }, 10000));
    ASSERT_TRUE(settingsTool->WaitFor(kMsgApplyDone));
    EXPECT_EQ(settingsTool->Received().back().LParam, settings_tool::kApplySent);
    EXPECT_EQ(WriteCount(), 28) << "the refused write and the full upload";
}

TEST_F(FaultTest, WhenTheDataFolderCannotBeMadeTheProgramFolderHoldsTheSettings) {
    // A file where the data folder should be.
    const std::wstring blocker = appData.File(L"Pelora Tern-7");
    ASSERT_TRUE(UniqueKernelHandle(
        CreateFileW(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)));
    Install(true);
    Start();

    ASSERT_EQ(mouse.Run(L"press cpi 1").ExitCode, 0u);
    ASSERT_TRUE(settingsTool->WaitFor(kMsgCpiChanged));
    const IniFile programConfig(install.File(L"config.ini"));
    EXPECT_EQ(programConfig.ReadInt(L"Setting", L"Plug", -1), 0) << "the start-up write went there too";
    EXPECT_EQ(programConfig.ReadInt(L"GROUP0", L"DPI", -1), 1);
}

}  // namespace
