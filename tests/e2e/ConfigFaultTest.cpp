// hid.exe while other programs hold config.ini or its lock: a sync client, an editor or a
// scanner with the file open, a settings tool in the middle of a write. The user's
// settings are never replaced by defaults, no change is lost or announced before it is
// saved, and the agent keeps answering.
#include <gtest/gtest.h>

#include "AgentHarness.h"
#include "SettingsToolContract.h"
#include "TestRegistry.h"
#include "TestWindow.h"

namespace {

using settings_tool::kMsgApplyDone;
using settings_tool::kMsgApplySettings;
using settings_tool::kMsgCpiChanged;

constexpr wchar_t kMouseKey[] = L"Control Panel\\Mouse";
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";

// The wheel step an apply sets last, as the registry holds it: Wine's processes keep the
// live values they read once.
std::wstring WheelLines() { return QueryValue(HKEY_CURRENT_USER, kDesktopKey, L"WheelScrollLines").Text; }

class ConfigFaultTest : public AgentWithMouseTest {
protected:
    // The user's file, with a pointer speed (9: 18 in the registry) and wheel step of
    // their own.
    void PlaceUserFile() {
        CreateDirectoryW(DataFolder().c_str(), nullptr);
        WriteFileBytes(UserConfig().Path(),
                       "[Setting]\r\nProfile=0\r\nTrayEnabled=0\r\n[GROUP0]\r\nMouseSensitivity=9\r\n"
                       "WheelScrollLines=7\r\nDPI=3\r\n");
    }
    UniqueKernelHandle HoldConfig(DWORD share) const {
        return UniqueKernelHandle(
            CreateFileW(UserConfig().Path().c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    LPARAM Apply(int answersSoFar) {
        EXPECT_TRUE(PostMessageW(window, kMsgApplySettings, 0, 0));
        EXPECT_TRUE(settingsTool.WaitFor(kMsgApplyDone, answersSoFar + 1, 20000));
        return settingsTool.Received().back().LParam;
    }

    TestWindow settingsTool{names::kSettingsToolWindowTitle};
};

TEST_F(ConfigFaultTest, AnUnreadableFileIsNeitherAppliedNorReplacedByDefaults) {
    Install(true);
    PlaceUserFile();
    SetValue(HKEY_CURRENT_USER, kMouseKey, L"MouseSensitivity", L"3");
    SetValue(HKEY_CURRENT_USER, kDesktopKey, L"WheelScrollLines", L"2");
    const std::string before = ReadFileBytes(UserConfig().Path());
    {
        const UniqueKernelHandle held = HoldConfig(0);
        ASSERT_TRUE(held);
        Start();
        ASSERT_TRUE(Responsive());
        EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kMouseKey, L"MouseSensitivity").Text, L"3")
            << "the registry keeps the user's values";

        mouse.Run(L"clear-log");
        EXPECT_EQ(Apply(0), settings_tool::kApplyWriteFailed) << "nothing was read, so nothing was applied";
        EXPECT_EQ(WriteCount(), 0);
        EXPECT_EQ(WheelLines(), L"2") << "the desktop keeps its pointer settings";
    }
    EXPECT_EQ(ReadFileBytes(UserConfig().Path()), before);

    // Once the file can be read, the start-up write-back catches up with the user's values.
    EXPECT_TRUE(
        PumpUntil([] { return QueryValue(HKEY_CURRENT_USER, kMouseKey, L"MouseSensitivity").Text == L"18"; }, 15000));
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"Plug", -1), 0) << "no mouse when it started";
    SetValue(HKEY_CURRENT_USER, kDesktopKey, L"WheelScrollLines", L"2");
    EXPECT_EQ(Apply(1), settings_tool::kApplySent);
    EXPECT_EQ(WriteCount(), 27);
    EXPECT_EQ(WheelLines(), L"7");
}

TEST_F(ConfigFaultTest, AKeyIsSavedWhileAReaderHoldsTheFileAndAnnouncedOnlyOnceSaved) {
    Install(true);
    Start();
    {
        // A reader that lets others write, but not replace the file.
        const UniqueKernelHandle reader = HoldConfig(FILE_SHARE_READ | FILE_SHARE_WRITE);
        ASSERT_TRUE(reader);
        ASSERT_EQ(mouse.Run(L"press cpi 1").ExitCode, 0u);
        ASSERT_TRUE(settingsTool.WaitFor(kMsgCpiChanged));
        EXPECT_EQ(UserConfig().ReadInt(L"GROUP0", L"DPI", -1), 1) << "announced as saved, and saved";
    }
    {
        // One that shares nothing: the key waits, unannounced, until the file is free.
        const UniqueKernelHandle holder = HoldConfig(0);
        ASSERT_TRUE(holder);
        ASSERT_EQ(mouse.Run(L"press cpi 2").ExitCode, 0u);
        EXPECT_EQ(Apply(0), settings_tool::kApplyWriteFailed);  // after the key, as a barrier
        EXPECT_EQ(settingsTool.Count(kMsgCpiChanged), 1);
    }
    ASSERT_TRUE(settingsTool.WaitFor(kMsgCpiChanged, 2));
    EXPECT_EQ(settingsTool.Received().back().WParam, 2u);
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP0", L"DPI", -1), 2);
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"TrayEnabled", -1), 1) << "the rest of the file is kept";
    EXPECT_TRUE(FilesIn(DataFolder(), L"~*.tmp").empty());
}

TEST_F(ConfigFaultTest, AProgramHoldingTheLockStallsNothingAndTheWritesFollowItsRelease) {
    Install(true);
    // A new user: the first-run copy waits for the lock too.
    UniqueKernelHandle lock(CreateMutexW(nullptr, TRUE, names::kConfigFileMutex));
    ASSERT_TRUE(lock);
    Start();
    EXPECT_FALSE(FileExists(UserConfig().Path())) << "no copy made under another program's lock";
    ASSERT_EQ(mouse.Run(L"press cpi 4").ExitCode, 0u);
    // A frozen agent takes ten seconds a write; this one answers at once.
    EXPECT_TRUE(Answers(window, 5000));
    EXPECT_EQ(settingsTool.Count(kMsgCpiChanged), 0);

    ReleaseMutex(lock.get());
    lock.reset();
    ASSERT_TRUE(settingsTool.WaitFor(kMsgCpiChanged, 1, 15000));
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP0", L"DPI", -1), 4);
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"Plug", -1), 0) << "no mouse when it started";
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP2", L"DPI", -1),
              IniFile(install.File(L"config.ini")).ReadInt(L"GROUP2", L"DPI", -2))
        << "the default file, copied whole";
    EXPECT_TRUE(FileExists(DataFolder() + L"macrolist.ini"));
}

}  // namespace
