#include <gtest/gtest.h>

#include <array>

#include "ConfigFile.h"
#include "ConfigKeys.h"
#include "ExampleButtons.h"
#include "Handles.h"
#include "TestFiles.h"

namespace {

class ConfigFileTest : public ::testing::Test {
protected:
    SettingsImage Load() {
        SettingsImage image{};
        LoadSettings(config, image);
        return image;
    }
    unsigned long Save(const IniEntry& key) { return SaveKeys(config, std::array{key}, L"Save"); }
    // Held open by another program: an editor, a sync client, a scanner.
    UniqueKernelHandle Hold(DWORD share) const {
        return UniqueKernelHandle(
            CreateFileW(config.Path().c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
    }
    // Copies a write left behind.
    std::vector<std::wstring> LeftOver() const { return FilesIn(folder.Path(), L"~*.tmp"); }

    ScratchFolder folder;
    IniFile config{folder.File(L"config.ini")};
};

// Where a text stands in the file, to check the order keys were written in.
std::size_t Where(const std::string& text, const std::string& line) {
    const std::size_t at = text.find(line);
    EXPECT_NE(at, std::string::npos) << line;
    return at;
}

TEST_F(ConfigFileTest, AMissingFileLoadsAsValidatedDefaultsWithUnsetButtonFields) {
    const SettingsImage image = Load();
    EXPECT_EQ(image.Profile, 0);
    EXPECT_EQ(image.MouseButtons, 8);
    EXPECT_EQ(image.Groups[2].DPI, 3);
    EXPECT_EQ(image.Groups[0].Buttons[5].ButtonFunc, 25);
    EXPECT_EQ(image.Groups[0].Buttons[5].ButtonID, -1);
    EXPECT_EQ(image.Groups[0].Buttons[5].KeyNumber, 255);
    EXPECT_FALSE(FileExists(config.Path())) << "loading never writes";
}

TEST_F(ConfigFileTest, WritingFromNothingPutsEveryKeyInTheDocumentedOrder) {
    WriteConfigFile(config, Load());
    const std::string text = ReadFileBytes(config.Path());
    EXPECT_LT(Where(text, "[Setting]\r\nProfile=0\r\nTrayEnabled=1\r\nMouseButtons=8\r\nPollingRate=1\r\n"),
              Where(text,
                    "[GROUP0]\r\nSelectHand=1\r\nWheelScrollLines=3\r\nMouseSensitivity=5\r\nDoubleClickSpeed=5\r\n"
                    "UniversalScrollEnabled=0\r\nAccelerationEnabled=0\r\nXYSensitivityEnabled=0\r\n"
                    "MouseSpeedX=10\r\nMouseSpeedY=10\r\nOFASensitivity=10\r\nLedState=3\r\nFlashState=2\r\n"
                    "DPI=3\r\nButtonAssigned0_1=" +
                        std::string(162, '0') + "\r\nButtonAssigned0_2="));
    EXPECT_LT(
        Where(text, "[ButtonAssigned0_1]\r\nButtonID=-1\r\nButtonFunc=1\r\nKeyNumber=255\r\nMacroName=\r\nPath=\r\n"),
        Where(text, "[ButtonAssigned0_8]\r\nButtonID=-1\r\nButtonFunc=7\r\n"));
    EXPECT_LT(Where(text, "[ButtonAssigned0_8]"), Where(text, "[GROUP1]"));
    EXPECT_LT(Where(text, "[GROUP2]"), Where(text, "[ButtonAssigned2_8]"));
}

TEST_F(ConfigFileTest, AWrittenImageLoadsBackUnchanged) {
    SettingsImage image = Load();
    image.Profile = 2;
    image.PollingRate = 0;
    image.TrayEnabled = 0;
    image.Groups[1].DoubleClickSpeed = 0;
    image.Groups[2].AccelerationEnabled = 1;
    ButtonAssignment& button = image.Groups[2].Buttons[3] = KeySequenceButton();
    button.KeyData[79] = 0xFF;
    SetFieldText(button.MacroName, L"Copy \x00FC");
    SetFieldText(button.Path, L"C:\\Tools\\calc tool.exe");
    WriteConfigFile(config, image);
    EXPECT_EQ(Load(), image);
}

TEST_F(ConfigFileTest, APathThatDoesNotFitOpensNothingAndTheWriteBackLeavesItAsItWas) {
    const std::string tooLong = "C:\\" + std::string(300, 'p') + ".exe";
    const std::string longest = "C:\\" + std::string(256, 'q');  // 259 units: fits
    WriteFileBytes(config.Path(),
                   "[ButtonAssigned0_1]\r\nPath=" + tooLong + "\r\n[ButtonAssigned0_2]\r\nPath=" + longest + "\r\n");
    const SettingsImage image = Load();
    EXPECT_TRUE(FieldText(image.Groups[0].Buttons[0].Path).empty());
    EXPECT_EQ(FieldText(image.Groups[0].Buttons[1].Path).size(), 259u);

    WriteConfigFile(config, image);
    EXPECT_EQ(config.ReadString(L"ButtonAssigned0_1", L"Path", L""), std::wstring(tooLong.begin(), tooLong.end()));
    EXPECT_EQ(config.ReadString(L"ButtonAssigned0_2", L"Path", L""), std::wstring(longest.begin(), longest.end()));
    EXPECT_EQ(config.ReadString(L"ButtonAssigned0_3", L"Path", L"missing"), L"") << "empty paths are still written";
}

TEST_F(ConfigFileTest, TheWriteBackKeepsWhatTheSettingsToolAddedAndFillsWhatIsMissing) {
    WriteFileBytes(config.Path(),
                   "[Setting]\r\nLanguage=fr\r\nProfile=1\r\n[Window]\r\nLeft=40\r\n"
                   "[GROUP0]\r\nDPI=9\r\nSkin=dark\r\n");
    WriteConfigFile(config, Load());
    const std::string text = ReadFileBytes(config.Path());
    for (const char* kept : {"Language=fr", "[Window]\r\nLeft=40", "Skin=dark", "Profile=1"})
        EXPECT_NE(text.find(kept), std::string::npos) << kept;
    EXPECT_EQ(text.find("DPI=9"), std::string::npos);
    EXPECT_NE(text.find("[ButtonAssigned2_8]\r\nButtonID=-1\r\nButtonFunc=7\r\nKeyNumber=255"), std::string::npos);
}

TEST_F(ConfigFileTest, SingleKeySavesChangeOnlyTheirKey) {
    WriteConfigFile(config, Load());
    const std::string before = ReadFileBytes(config.Path());

    Save(GroupDpiKey(2, 1));
    std::string expected = before;
    const std::size_t group1 = expected.find("[GROUP1]");
    expected.replace(expected.find("DPI=3", group1), 5, "DPI=2");
    EXPECT_EQ(ReadFileBytes(config.Path()), expected);

    Save(CurrentProfileKey(2));
    expected.replace(expected.find("Profile=0"), 9, "Profile=2");
    EXPECT_EQ(ReadFileBytes(config.Path()), expected);

    Save(PlugStateKey(1));
    EXPECT_EQ(IniFile(config.Path()).ReadInt(L"Setting", L"Plug", -1), 1);
    Save(PlugStateKey(0));
    EXPECT_EQ(IniFile(config.Path()).ReadInt(L"Setting", L"Plug", -1), 0);
}

FILETIME LastWrite(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

TEST_F(ConfigFileTest, AFileThatWouldNotChangeIsNotWritten) {
    ASSERT_EQ(WriteConfigFile(config, Load()), 0u);
    // An old time shows whether the file was written again.
    const FILETIME old{0x12345678, 0x01C00000};
    {
        UniqueKernelHandle file(
            CreateFileW(config.Path().c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &old));
    }
    EXPECT_EQ(WriteConfigFile(config, Load()), 0u);
    EXPECT_EQ(Save(GroupDpiKey(3, 2)), 0u);
    const FILETIME after = LastWrite(config.Path());
    EXPECT_EQ(CompareFileTime(&after, &old), 0);
}

TEST_F(ConfigFileTest, AWriteThatFailsLeavesTheFileAsItWasAndSaysWhy) {
    WriteFileBytes(config.Path(), "[Setting]\r\nProfile=1\r\n[Tool]\r\nKeep=me\r\n");
    const std::string before = ReadFileBytes(config.Path());
    SettingsImage image = Load();
    image.Groups[0].DPI = 1;

    // The user made the file read-only.
    ASSERT_TRUE(SetFileAttributesW(config.Path().c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(WriteConfigFile(config, image), static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Save(GroupDpiKey(2, 0)), static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ReadFileBytes(config.Path()), before);
    ASSERT_TRUE(SetFileAttributesW(config.Path().c_str(), FILE_ATTRIBUTE_NORMAL));

    // Another program holds the file open and shares nothing, or lets it be read only:
    // it can be neither replaced nor written.
    for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
        const UniqueKernelHandle held = Hold(share);
        ASSERT_TRUE(held);
        EXPECT_NE(WriteConfigFile(config, image), 0u) << share;
        EXPECT_NE(Save(CurrentProfileKey(2)), 0u) << share;
    }
    EXPECT_EQ(ReadFileBytes(config.Path()), before);
    EXPECT_TRUE(LeftOver().empty());

    // Once the way is free, the next write lands.
    EXPECT_EQ(WriteConfigFile(config, image), 0u);
    EXPECT_EQ(Load().Groups[0].DPI, 1);
    EXPECT_EQ(config.ReadString(L"Tool", L"Keep", L""), L"me");
}

TEST_F(ConfigFileTest, AFileThatCannotBeReadLeavesTheLastSettingsReadInPlace) {
    WriteFileBytes(config.Path(), "[Setting]\r\nProfile=2\r\n[GROUP2]\r\nDPI=1\r\n");
    SettingsImage image = Load();
    ASSERT_EQ(image.Profile, 2);
    const SettingsImage lastGood = image;
    {
        const UniqueKernelHandle held = Hold(0);
        ASSERT_TRUE(held);
        EXPECT_EQ(LoadSettings(config, image), static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(image, lastGood) << "no defaults in place of the user's settings";
        EXPECT_EQ(PersistSettings(config, image), static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
    }
    // Far larger than any settings file: damaged, or no settings file.
    WriteFileBytes(config.Path(), "[Setting]\r\nProfile=1\r\n" + std::string(IniFile::kMaxFileBytes, ';'));
    EXPECT_EQ(LoadSettings(config, image), static_cast<unsigned long>(ERROR_FILE_TOO_LARGE));
    EXPECT_EQ(image, lastGood);

    // Only a file that is not there loads as the defaults.
    DeleteFileW(config.Path().c_str());
    EXPECT_EQ(LoadSettings(config, image), 0u);
    EXPECT_EQ(image.Profile, 0);
}

TEST_F(ConfigFileTest, AKeySavedWhileAReaderKeepsTheFileFromBeingReplacedGoesIntoTheFile) {
    WriteConfigFile(config, Load());
    // A reader that lets others write but not delete or rename the file.
    const UniqueKernelHandle held = Hold(FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(held);
    SettingsImage image = Load();
    image.Groups[1].DPI = 1;
    EXPECT_NE(WriteConfigFile(config, image), 0u) << "a whole image is never written in place";

    // Each value goes over the old one where it stands, and nothing else changes: a write
    // cut short leaves the old value or the new.
    std::string expected = ReadFileBytes(config.Path());
    EXPECT_EQ(Save(GroupDpiKey(4, 2)), 0u);
    EXPECT_EQ(Save(CurrentProfileKey(1)), 0u);
    expected.replace(expected.find("DPI=3", expected.find("[GROUP2]")), 5, "DPI=4");
    expected.replace(expected.find("Profile=0"), 9, "Profile=1");
    EXPECT_EQ(ReadFileBytes(config.Path()), expected);
    EXPECT_EQ(Load().Groups[2].DPI, 4);
    EXPECT_EQ(Load().Profile, 1);
    // A key that is not there yet needs the file rewritten: it waits until it can be.
    EXPECT_NE(Save(PlugStateKey(1)), 0u);
    EXPECT_EQ(ReadFileBytes(config.Path()), expected);
    EXPECT_TRUE(LeftOver().empty());
}

TEST_F(ConfigFileTest, AReplacedFileKeepsItsAttributesAndALinkStaysALinkToTheFileWritten) {
    WriteConfigFile(config, Load());
    ASSERT_TRUE(SetFileAttributesW(config.Path().c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_EQ(Save(GroupDpiKey(1, 0)), 0u);
    EXPECT_EQ(GetFileAttributesW(config.Path().c_str()) & FILE_ATTRIBUTE_HIDDEN, DWORD{FILE_ATTRIBUTE_HIDDEN});
    EXPECT_EQ(Load().Groups[0].DPI, 1);

    // The settings kept elsewhere, config.ini a link to them (a sync folder, say).
    const ScratchFolder elsewhere;
    const IniFile kept(elsewhere.File(L"settings.ini"));
    ASSERT_EQ(WriteConfigFile(kept, Load()), 0u);
    ASSERT_TRUE(SetFileAttributesW(config.Path().c_str(), FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(DeleteFileW(config.Path().c_str()));
    ASSERT_TRUE(MakeFileLink(config.Path(), kept.Path()));
    ASSERT_EQ(Save(GroupDpiKey(2, 0)), 0u);
    SettingsImage image = Load();
    image.Groups[1].DPI = 4;
    ASSERT_EQ(WriteConfigFile(config, image), 0u);

    SettingsImage throughTarget{};
    ASSERT_EQ(LoadSettings(kept, throughTarget), 0u);
    EXPECT_EQ(throughTarget.Groups[0].DPI, 2);
    EXPECT_EQ(throughTarget.Groups[1].DPI, 4);
    ASSERT_EQ(SaveKeys(kept, std::array{GroupDpiKey(3, 2)}, L"Save"), 0u);
    EXPECT_EQ(Load().Groups[2].DPI, 3) << "config.ini still leads to the settings kept elsewhere";
    EXPECT_TRUE(LeftOver().empty());
    EXPECT_TRUE(FilesIn(elsewhere.Path(), L"~*.tmp").empty());
}

TEST_F(ConfigFileTest, NoCopyLeftBehindBlocksAWriteAndTheLongestPathsAreWritten) {
    // A copy of an earlier program's write that was cut short, made read-only since.
    WriteFileBytes(config.Path() + L".tmp", "stale");
    ASSERT_TRUE(SetFileAttributesW((config.Path() + L".tmp").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(WriteConfigFile(config, Load()), 0u);
    EXPECT_EQ(Save(PlugStateKey(1)), 0u);
    SetFileAttributesW((config.Path() + L".tmp").c_str(), FILE_ATTRIBUTE_NORMAL);

    // config.ini with a path of 259 characters, the longest the profile functions take.
    std::wstring deep = folder.Path();
    deep.append(MAX_PATH - 12 - deep.size(), L'd');  // the longest folder path there is
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
    deep += L"\\";
    const IniFile longest(deep + L"config.ini");
    ASSERT_EQ(longest.Path().size(), MAX_PATH - 1u);
    EXPECT_EQ(WriteConfigFile(longest, Load()), 0u);
    const IniEntry key = GroupDpiKey(2, 1);
    EXPECT_EQ(SaveKeys(longest, std::array{key}, L"Save"), 0u);
    SettingsImage image{};
    ASSERT_EQ(LoadSettings(longest, image), 0u);
    EXPECT_EQ(image.Groups[1].DPI, 2);
    EXPECT_EQ(FilesIn(deep, L"*"), std::vector<std::wstring>{L"config.ini"});
}

}  // namespace
