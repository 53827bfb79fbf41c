// The real setup run silently: a fresh install, an upgrade over the running programs, the
// uninstaller, and the cases where the setup must refuse before it changes anything.
#include <string>
#include <vector>

#include "SetupHarness.h"
#include "TestRegistry.h"
#include "UserRights.h"

namespace {

constexpr wchar_t kSetupMutex[] = L"OvixPeloraTern7Setup";

std::wstring ProductVersionOf(const std::wstring& file) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) return L"";
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return L"";
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) return L"";
    return std::to_wstring(HIWORD(fixed->dwProductVersionMS)) + L"." +
           std::to_wstring(LOWORD(fixed->dwProductVersionMS)) + L"." +
           std::to_wstring(HIWORD(fixed->dwProductVersionLS)) + L"." +
           std::to_wstring(LOWORD(fixed->dwProductVersionLS));
}

DWORD DwordValue(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return 0;
    return value;
}

bool ProcessIsElevated(DWORD processId) {
    const UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    return process && IsElevated(process.get());
}

class Setup : public SetupHarness {};

TEST_F(Setup, InstallsEveryFileRegistersLogOnStartAndAppsEntryAndStartsTheAgent) {
    ASSERT_EQ(RunSetup(), 0u);

    for (const std::wstring& file : ShippedFiles()) {
        EXPECT_TRUE(SameBytes(Installed(file), DistFolder() + file)) << file;
    }
    EXPECT_TRUE(FileExists(Installed(L"uninstall.exe")));
    EXPECT_FALSE(FileExists(Installed(L"simmouse.exe")));

    // The log-on start: the quoted path, since the folder has spaces in it.
    const RegistryValue run = QueryValue(HKEY_CURRENT_USER, kRunKey, kRunValue);
    ASSERT_TRUE(run.Exists);
    EXPECT_EQ(run.Type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(run.Text, L"\"" + Installed(L"hid.exe") + L"\"");

    const auto entry = UninstallEntry;
    EXPECT_EQ(entry(L"DisplayName"), L"Ovix Pelora Tern-7");
    EXPECT_EQ(entry(L"DisplayVersion"), TERN7_WIDEN(TERN7_PROJECT_VERSION));
    EXPECT_EQ(entry(L"Publisher"), L"Ovix");
    EXPECT_EQ(entry(L"DisplayIcon"), L"\"" + Installed(L"notifyhost.exe") + L"\",0");
    EXPECT_EQ(entry(L"InstallLocation"), InstallFolder());
    EXPECT_EQ(entry(L"UninstallString"), L"\"" + Installed(L"uninstall.exe") + L"\"");
    EXPECT_EQ(entry(L"QuietUninstallString"), L"\"" + Installed(L"uninstall.exe") + L"\" /S");
    EXPECT_GT(DwordValue(L"EstimatedSize"), 0u);
    // The settings window when this build has one, else the program folder.
    const bool withSettingsWindow = FileExists(DistFolder() + names::kSettingsToolExe);
    EXPECT_EQ(Lower(ShortcutTarget(Shortcut())),
              Lower(withSettingsWindow ? Installed(names::kSettingsToolExe) : InstallFolder()));

    const HWND agent = WaitForAgent();
    ASSERT_TRUE(agent) << "the setup did not start the agent";
    EXPECT_EQ(Lower(ImageOf(ProcessOf(agent))), Lower(Installed(L"hid.exe")));
    EXPECT_FALSE(ProcessIsElevated(ProcessOf(agent))) << "the agent runs with more than the user's rights";
}

TEST_F(Setup, UpgradeClosesTheRunningProgramsReplacesTheFilesAndKeepsTheUserSettings) {
    // The user's own settings, unlike the defaults the setup ships.
    const std::wstring userConfig = settingsFolder_ + names::kConfigFile;
    std::string mine = ReadFileBytes(DistFolder() + names::kConfigFile);
    const std::size_t profile = mine.find("Profile=0");
    ASSERT_NE(profile, std::string::npos);
    mine.replace(profile, 9, "Profile=2");
    ASSERT_TRUE(CreateDirectoryW(settingsFolder_.c_str(), nullptr));
    WriteFileBytes(userConfig, mine);
    WriteFileBytes(settingsFolder_ + L"user-note.txt", "mine");

    ASSERT_EQ(RunSetup(), 0u);
    const HWND agent = WaitForAgent();
    ASSERT_TRUE(agent);
    const DWORD agentId = ProcessOf(agent);
    const UniqueKernelHandle oldAgent(OpenProcess(SYNCHRONIZE, FALSE, agentId));

    ChildProcess tray;
    ASSERT_TRUE(tray.Start(L"\"" + Installed(names::kNotifyHostExe) + L"\"", InstallFolder()));
    ASSERT_TRUE(PumpUntil([] { return FindTitled(names::kNotifyHostWindowTitle) != nullptr; }, 15000));

    // As the agent keeps them: read at its start and written back.
    const std::string settings = ReadFileBytes(userConfig);
    ASSERT_NE(settings.find("Profile=2"), std::string::npos);
    // Stand-ins for the files of an older version.
    WriteFileBytes(Installed(names::kMacroListFile), "old");
    WriteFileBytes(Installed(names::kOsdExe), "old");

    ASSERT_EQ(RunSetup(), 0u);

    EXPECT_EQ(WaitForSingleObject(oldAgent.get(), 0), WAIT_OBJECT_0) << "the old agent still runs";
    EXPECT_TRUE(tray.WaitForExit(0)) << "the tray companion still runs";
    EXPECT_TRUE(SameBytes(Installed(names::kMacroListFile), DistFolder() + names::kMacroListFile));
    EXPECT_TRUE(SameBytes(Installed(names::kOsdExe), DistFolder() + names::kOsdExe));

    const HWND newAgent = WaitForAgent(agentId);
    ASSERT_TRUE(newAgent) << "the agent was not started again";
    EXPECT_EQ(Lower(ImageOf(ProcessOf(newAgent))), Lower(Installed(L"hid.exe")));
    EXPECT_EQ(ReadFileBytes(userConfig), settings);
    EXPECT_TRUE(Holds(settingsFolder_ + L"user-note.txt", "mine"));
}

TEST_F(Setup, SilentUninstallRemovesProgramsLogOnStartShortcutAndEntryButKeepsTheSettings) {
    ASSERT_EQ(RunSetup(), 0u);
    ASSERT_TRUE(WaitForAgent());
    ASSERT_TRUE(FileExists(settingsFolder_ + names::kConfigFile));
    // Something of the user's beside the programs' parent folder stays too.
    const std::wstring vendorFolder = ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Ovix Pelora";
    ASSERT_TRUE(FolderExists(vendorFolder));

    ASSERT_TRUE(Uninstall());
    EXPECT_FALSE(FolderExists(InstallFolder()));
    EXPECT_FALSE(UninstallEntryExists());
    EXPECT_FALSE(RunValueExists());
    EXPECT_FALSE(FindTitled(names::kAgentWindowTitle));
    EXPECT_FALSE(FileExists(Shortcut()));
    EXPECT_FALSE(FolderExists(vendorFolder));
    EXPECT_TRUE(FileExists(settingsFolder_ + names::kConfigFile));
    EXPECT_TRUE(FileExists(settingsFolder_ + names::kMacroListFile));
}

TEST_F(Setup, RefusesToRunBesideAnotherSetup) {
    const UniqueKernelHandle otherSetup(CreateMutexW(nullptr, FALSE, kSetupMutex));
    ASSERT_TRUE(otherSetup);

    EXPECT_EQ(RunSetup(), kExitAlreadyRunning);
    EXPECT_FALSE(FolderExists(InstallFolder()));
    EXPECT_FALSE(RunValueExists());
}

TEST_F(Setup, FileInUseLeavesTheInstalledVersionWholeAndRunning) {
    ASSERT_EQ(RunSetup(), 0u);
    const HWND agent = WaitForAgent();
    ASSERT_TRUE(agent);
    const DWORD agentId = ProcessOf(agent);
    WriteFileBytes(Installed(names::kOsdExe), "old");
    const UniqueKernelHandle held(CreateFileW(Installed(names::kMacroListFile).c_str(), GENERIC_READ, 0, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(held.get(), INVALID_HANDLE_VALUE);

    EXPECT_EQ(RunSetup(), kExitFileInUse);
    EXPECT_TRUE(ReadFileBytes(Installed(names::kOsdExe)) == "old") << "half of the new version was written";
    const HWND restarted = WaitForAgent(agentId);
    ASSERT_TRUE(restarted) << "the old version was left without its agent";
    EXPECT_EQ(Lower(ImageOf(ProcessOf(restarted))), Lower(Installed(L"hid.exe")));
}

// Run as administrator, the agent it starts would run programs from a folder the user
// can write to, and from config.ini, with the administrator's rights.
TEST_F(Setup, RefusesToRunElevated) {
    if (!IsElevated(GetCurrentProcess())) GTEST_SKIP() << "needs an elevated test process, as Wine's default user has";

    EXPECT_EQ(RunSetupElevated(), kExitElevated);
    EXPECT_FALSE(FolderExists(InstallFolder()));
    EXPECT_FALSE(RunValueExists());
    EXPECT_FALSE(UninstallEntryExists());
    EXPECT_FALSE(FindTitled(names::kAgentWindowTitle));
}

TEST_F(Setup, AnOlderSetupLeavesANewerInstallAsItWas) {
    ASSERT_EQ(RunSetup(), 0u);
    const HWND agent = WaitForAgent();
    ASSERT_TRUE(agent);
    const UniqueKernelHandle runningAgent(OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(agent)));
    // What a later version's setup leaves behind, and a stand-in for one of its files.
    ASSERT_TRUE(WritePrivateProfileStringW(L"Install", L"Version", L"99.0", Installed(kInstallMarker).c_str()));
    WriteFileBytes(Installed(names::kOsdExe), "newer");

    EXPECT_EQ(RunSetup(), kExitNewerInstalled);
    EXPECT_TRUE(Holds(Installed(names::kOsdExe), "newer")) << "the newer version's files were replaced";
    EXPECT_EQ(WaitForSingleObject(runningAgent.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the agent was closed";
}

// Everything shipped, and the setup, carry the one project version.
TEST(ShippedFiles, CarryTheProjectVersion) {
    const std::wstring version = TERN7_WIDEN(TERN7_FILE_VERSION);
    for (const wchar_t* file : {L"hid.exe", L"notifyhost.exe", L"OSD.exe", L"tern7ctl.exe", L"HidDevice.dll"}) {
        EXPECT_EQ(ProductVersionOf(DistFolder() + file), version) << file;
    }
    ASSERT_TRUE(FileExists(kSetupFile)) << "no setup: install the nsis package (makensis)";
    EXPECT_EQ(ProductVersionOf(kSetupFile), version);
}

}  // namespace
