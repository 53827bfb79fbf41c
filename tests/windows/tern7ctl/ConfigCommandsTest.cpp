// tern7ctl show, get and set on config.ini in a user data folder of the test's own.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "IniFile.h"
#include "Tern7ctlRun.h"

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

constexpr char kUserSettings[] =
    "[Setting]\r\nProfile=1\r\nPlug=0\r\n"
    "[GROUP0]\r\nDPI=2\r\nLedState=3\r\n"
    "[ButtonAssigned0_1]\r\nMacroName=\r\nPath=C:\\Games\\run.exe\r\n";

class Tern7ctlConfigTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(FileExists(install.Folder().File(L"tern7ctl.exe"))); }

    std::wstring DataFolder() const { return appData.Path() + L"Pelora Tern-7\\"; }
    std::wstring UserConfigPath() const { return DataFolder() + L"config.ini"; }
    void WriteUserSettings(const std::string& text) const {
        CreateDirectoryW(DataFolder().c_str(), nullptr);
        WriteFileBytes(UserConfigPath(), text);
    }

    Tern7ctlInstall install;
    ScratchFolder appData;
    AppDataRedirect redirect{appData.Path()};
};

TEST_F(Tern7ctlConfigTest, ShowListsEverySettingUnderItsSectionInFileOrder) {
    WriteUserSettings(kUserSettings);
    const CommandResult result = install.Run(L"show");
    EXPECT_EQ(result.ExitCode, 0u);
    const std::string& out = result.Output;
    const std::size_t setting = out.find("[Setting]");
    const std::size_t profile = out.find("  Profile = 1");
    const std::size_t group = out.find("[GROUP0]");
    const std::size_t dpi = out.find("  DPI = 2");
    const std::size_t path = out.find("  Path = C:\\Games\\run.exe");
    ASSERT_NE(setting, std::string::npos) << out;
    EXPECT_LT(setting, profile) << out;
    EXPECT_LT(profile, group) << out;
    EXPECT_LT(group, dpi) << out;
    EXPECT_LT(dpi, path) << out;
    EXPECT_TRUE(Contains(out, "  MacroName = \r\n")) << "an empty value is listed too";
    EXPECT_TRUE(Contains(out, "Pelora Tern-7\\config.ini")) << "says which file it read";
}

TEST_F(Tern7ctlConfigTest, GetPrintsOneValueAndNamesWhatIsMissing) {
    WriteUserSettings(kUserSettings);
    CommandResult result = install.Run(L"get GROUP0 DPI");
    EXPECT_EQ(result.ExitCode, 0u);
    EXPECT_EQ(Trimmed(result.Output), "2");

    // Names match as the agent's profile functions match them.
    EXPECT_EQ(Trimmed(install.Run(L"get setting PROFILE").Output), "1");

    // An empty value is there; a missing key is an error.
    result = install.Run(L"get ButtonAssigned0_1 MacroName");
    EXPECT_EQ(result.ExitCode, 0u);
    EXPECT_EQ(Trimmed(result.Output), "");

    result = install.Run(L"get GROUP0 FlashState");
    EXPECT_EQ(result.ExitCode, 1u);
    EXPECT_TRUE(Contains(result.Output, "FlashState")) << result.Output;

    result = install.Run(L"get GROUP2 DPI");
    EXPECT_EQ(result.ExitCode, 1u);
    EXPECT_TRUE(Contains(result.Output, "[GROUP2]")) << result.Output;
}

TEST_F(Tern7ctlConfigTest, ReadingWithoutASettingsFileFailsAndCreatesNothing) {
    for (const wchar_t* command : {L"show", L"get Setting Profile"}) {
        const CommandResult result = install.Run(command);
        EXPECT_EQ(result.ExitCode, 1u) << command;
        EXPECT_TRUE(Contains(result.Output, "no settings file")) << result.Output;
    }
    EXPECT_FALSE(FolderExists(DataFolder()));
}

TEST_F(Tern7ctlConfigTest, SetChangesOnlyItsKeyOnDisk) {
    WriteUserSettings(kUserSettings);
    CommandResult result = install.Run(L"set GROUP0 DPI 4");
    EXPECT_EQ(result.ExitCode, 0u) << result.Output;
    result = install.Run(L"set ButtonAssigned0_1 MacroName \"Quick Fire\"");
    EXPECT_EQ(result.ExitCode, 0u) << result.Output;

    const IniFile config(UserConfigPath());
    EXPECT_EQ(config.ReadInt(L"GROUP0", L"DPI", -1), 4);
    EXPECT_EQ(config.ReadString(L"ButtonAssigned0_1", L"MacroName", L"-"), L"Quick Fire");
    EXPECT_EQ(config.ReadInt(L"GROUP0", L"LedState", -1), 3);
    EXPECT_EQ(config.ReadInt(L"Setting", L"Profile", -1), 1);
    EXPECT_EQ(config.ReadString(L"ButtonAssigned0_1", L"Path", L"-"), L"C:\\Games\\run.exe");
    EXPECT_EQ(Trimmed(install.Run(L"get GROUP0 DPI").Output), "4");
}

TEST_F(Tern7ctlConfigTest, SetForANewUserKeepsTheDefaultSettings) {
    // A file holding only the one key would make the agent skip its first-run copy.
    WriteFileBytes(install.Folder().File(L"config.ini"),
                   "[Setting]\r\nProfile=0\r\nTrayEnabled=1\r\n[GROUP0]\r\nDPI=3\r\n");
    WriteFileBytes(install.Folder().File(L"macrolist.ini"), "[MacroList]\r\nCount=0\r\n");
    ASSERT_FALSE(FolderExists(DataFolder()));

    const CommandResult result = install.Run(L"set Setting Profile 2");
    EXPECT_EQ(result.ExitCode, 0u) << result.Output;
    const IniFile config(UserConfigPath());
    EXPECT_EQ(config.ReadInt(L"Setting", L"Profile", -1), 2);
    EXPECT_EQ(config.ReadInt(L"Setting", L"TrayEnabled", -1), 1);
    EXPECT_EQ(config.ReadInt(L"GROUP0", L"DPI", -1), 3);
    EXPECT_TRUE(FileExists(DataFolder() + L"macrolist.ini"));
}

TEST_F(Tern7ctlConfigTest, SetReportsAWriteThatDidNotLand) {
    // A folder where config.ini should be: the file can be neither copied nor written.
    const std::wstring configPath = DataFolder() + L"config.ini";
    ASSERT_EQ(SHCreateDirectoryExW(nullptr, configPath.c_str(), nullptr), ERROR_SUCCESS);
    const CommandResult result = install.Run(L"set GROUP0 DPI 4");
    EXPECT_EQ(result.ExitCode, 1u);
    EXPECT_TRUE(Contains(result.Output, "could not write")) << result.Output;
    EXPECT_TRUE(FolderExists(configPath));
}

TEST_F(Tern7ctlConfigTest, SetOnAReadOnlyFileFailsAndLeavesItAsItWas) {
    WriteUserSettings(kUserSettings);
    ASSERT_TRUE(SetFileAttributesW(UserConfigPath().c_str(), FILE_ATTRIBUTE_READONLY));
    const CommandResult result = install.Run(L"set GROUP0 DPI 4");
    SetFileAttributesW(UserConfigPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(result.ExitCode, 1u);
    EXPECT_TRUE(Contains(result.Output, "could not write")) << result.Output;
    EXPECT_TRUE(Contains(result.Output, "0x00000005")) << result.Output;
    EXPECT_EQ(ReadFileBytes(UserConfigPath()), kUserSettings);
}

}  // namespace
