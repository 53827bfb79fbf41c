// The setup and the uninstaller touch only what is theirs: a folder chosen with /D= that
// holds someone else's files, files put into the install folder later, what a link in the
// settings folder leads to, and another copy's log-on start, shortcut and entry.
#include <string>

#include "SetupHarness.h"
#include "TestRegistry.h"

namespace {

class SetupOwnership : public SetupHarness {};

TEST_F(SetupOwnership, InstallsOnlyIntoAnEmptyOrOwnFolderAndUninstallsOnlyItsOwnFiles) {
    const ScratchFolder chosen;
    // A folder of the user's, with files named like ours but no install of ours.
    const std::wstring theirs = chosen.File(L"probe");
    ASSERT_TRUE(CreateDirectoryW(theirs.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((theirs + L"\\skins").c_str(), nullptr));
    WriteFileBytes(theirs + L"\\config.ini", "mine");
    WriteFileBytes(theirs + L"\\uninstall.exe", "mine");
    WriteFileBytes(theirs + L"\\skins\\updatebar_n.jpg", "mine");

    EXPECT_EQ(RunSetup(L"/S /D=" + theirs), kExitFolderNotOurs);
    EXPECT_TRUE(Holds(theirs + L"\\config.ini", "mine")) << "their config.ini was replaced";
    EXPECT_TRUE(Holds(theirs + L"\\skins\\updatebar_n.jpg", "mine")) << "their skin file was replaced";
    EXPECT_FALSE(FileExists(theirs + L"\\hid.exe"));
    EXPECT_FALSE(RunValueExists());
    EXPECT_FALSE(UninstallEntryExists());

    // A folder that does not exist yet is made and installed into.
    const std::wstring ours = chosen.File(L"Tern-7");
    ASSERT_EQ(RunSetup(L"/S /D=" + ours), 0u);
    const HWND agent = WaitForAgent();
    ASSERT_TRUE(agent);
    EXPECT_EQ(Lower(ImageOf(ProcessOf(agent))), Lower(ours + L"\\hid.exe"));

    // What the user put there later stays, with the folders that hold it.
    WriteFileBytes(ours + L"\\skins\\mine.bmp", "mine");
    WriteFileBytes(ours + L"\\notes.txt", "mine");
    ASSERT_TRUE(Uninstall(ours));
    for (const std::wstring& file : ShippedFiles()) EXPECT_FALSE(FileExists(ours + L"\\" + file)) << file;
    EXPECT_FALSE(FileExists(ours + L"\\uninstall.exe"));
    EXPECT_TRUE(Holds(ours + L"\\skins\\mine.bmp", "mine")) << "a file of the user's was removed";
    EXPECT_TRUE(Holds(ours + L"\\notes.txt", "mine"));
    EXPECT_FALSE(RunValueExists());
    EXPECT_FALSE(UninstallEntryExists());

    // The folder left for them is still ours to install into again.
    ASSERT_EQ(RunSetup(L"/S /D=" + ours), 0u);
    EXPECT_TRUE(SameBytes(ours + L"\\hid.exe", DistFolder() + L"hid.exe"));
    EXPECT_TRUE(Holds(ours + L"\\notes.txt", "mine"));
    ASSERT_TRUE(Uninstall(ours));
}

// "Remove my settings" must not reach through a link in the settings folder (a junction
// to a backup folder, say) into what it leads to.
TEST_F(SetupOwnership, RemovingTheSettingsRemovesALinkNotWhatItLeadsTo) {
    ASSERT_EQ(RunSetup(), 0u);
    ASSERT_TRUE(WaitForAgent());
    ASSERT_TRUE(FileExists(settingsFolder_ + names::kConfigFile));
    const ScratchFolder elsewhere;
    WriteFileBytes(elsewhere.File(L"photo.jpg"), "mine");
    ASSERT_TRUE(CreateDirectoryW(elsewhere.File(L"album").c_str(), nullptr));
    WriteFileBytes(elsewhere.File(L"album\\photo.jpg"), "mine");
    std::wstring target = elsewhere.Path();
    target.pop_back();
    ASSERT_TRUE(CreateDirectoryLink(settingsFolder_ + L"Backups", target));

    ASSERT_TRUE(Uninstall(InstallFolder(), L" /RemoveSettings"));
    EXPECT_FALSE(FileExists(settingsFolder_ + names::kConfigFile)) << "the settings were not removed";
    EXPECT_FALSE(FileExists(settingsFolder_ + names::kMacroListFile));
    EXPECT_TRUE(Holds(elsewhere.File(L"photo.jpg"), "mine")) << "the link's target lost what it holds";
    EXPECT_TRUE(Holds(elsewhere.File(L"album\\photo.jpg"), "mine"));
}

// Two copies: the uninstaller of one leaves the log-on start, shortcut and entry that
// name the other; the folder above a chosen one is the user's and stays.
TEST_F(SetupOwnership, UninstallLeavesWhatNamesAnotherCopy) {
    const ScratchFolder tools;
    const std::wstring copy = tools.File(L"Tern-7");
    // An empty folder is fine to install into.
    ASSERT_TRUE(CreateDirectoryW(copy.c_str(), nullptr));
    ASSERT_EQ(RunSetup(L"/S /D=" + copy), 0u);
    ASSERT_EQ(RunSetup(), 0u);
    // The copy, no longer named by the entry, is known by what it holds; the log-on start,
    // shortcut and entry name it again.
    ASSERT_EQ(RunSetup(L"/S /D=" + copy), 0u);
    const std::wstring copyRun = L"\"" + copy + L"\\hid.exe\"";
    ASSERT_EQ(QueryValue(HKEY_CURRENT_USER, kRunKey, kRunValue).Text, copyRun);
    const std::wstring copyShortcut = Lower(ShortcutTarget(Shortcut()));
    ASSERT_EQ(copyShortcut.rfind(Lower(copy), 0), 0u) << "shortcut to " << copyShortcut;

    ASSERT_TRUE(Uninstall());
    EXPECT_FALSE(FolderExists(InstallFolder()));
    EXPECT_EQ(QueryValue(HKEY_CURRENT_USER, kRunKey, kRunValue).Text, copyRun);
    EXPECT_EQ(UninstallEntry(L"InstallLocation"), copy);
    EXPECT_EQ(Lower(ShortcutTarget(Shortcut())), copyShortcut);

    ASSERT_TRUE(Uninstall(copy));
    EXPECT_FALSE(RunValueExists());
    EXPECT_FALSE(UninstallEntryExists());
    EXPECT_FALSE(FileExists(Shortcut()));
    EXPECT_FALSE(FolderExists(copy));
    EXPECT_TRUE(FolderExists(tools.Path()));
}

}  // namespace
