// config.ini under the agent's writes: a change the settings tool makes while the agent
// starts is kept, and no moment at which the agent dies leaves a torn or reverted file.
#include <atomic>
#include <random>
#include <thread>

#include "AgentHarness.h"
#include "ConfigFile.h"
#include "ConfigKeys.h"
#include "ConfigLock.h"
#include "HidTestSupport.h"
#include "ToolCommand.h"

namespace {

// A user's file that the write-back has much to fill in, with keys of the settings
// tool's own that the agent does not know.
// No notices, so that no display program is waited for.
const std::string kUserFile =
    "[Setting]\r\nLanguage=fr\r\nProfile=2\r\nTrayEnabled=0\r\nPlug=0\r\n[Window]\r\nLeft=40\r\nTop=12\r\n"
    "[GROUP1]\r\nDPI=9\r\nSkin=dark\r\nButtonAssigned1_3=0102" +
    std::string(156, '0') +
    "03\r\n"
    "[ButtonAssigned1_3]\r\nPath=C:\\Games\\run.exe\r\nMacroName=Burst\r\nKeyNumber=2\r\n"
    "Tooltip=Fire\r\n";

const IniEntry kToolsOwn[] = {
    {L"Setting", L"Language", L"fr"},
    {L"Window", L"Left", L"40"},
    {L"Window", L"Top", L"12"},
    {L"GROUP1", L"Skin", L"dark"},
    {L"ButtonAssigned1_3", L"Tooltip", L"Fire"},
};

SettingsImage LoadText(const std::string& bytes) {
    SettingsImage image{};
    LoadSettings(IniText(IniText::DecodeFileBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()})),
                 image);
    return image;
}

class ConfigFileSafetyTest : public AgentTest {
protected:
    void PlaceUserFile(const std::string& bytes) {
        CreateDirectoryW(DataFolder().c_str(), nullptr);
        WriteFileBytes(UserConfig().Path(), bytes);
    }

    // The file loads to the expected settings and keeps every key of the tool's own.
    void ExpectWhole(const SettingsImage& expected, int run) {
        SettingsImage loaded{};
        ASSERT_EQ(LoadSettings(UserConfig(), loaded), 0u) << "run " << run;
        EXPECT_EQ(loaded, expected) << "run " << run;
        for (const IniEntry& own : kToolsOwn)
            EXPECT_EQ(UserConfig().ReadString(own.Section, own.Key, L"<missing>"), own.Value) << "run " << run;
    }

    static void Kill(ChildProcess& process) {
        TerminateProcess(process.Handle(), 1);
        WaitForSingleObject(process.Handle(), 10000);
    }
};

TEST_F(ConfigFileSafetyTest, ASettingSavedDuringTheStartUpPauseIsKept) {
    VirtualMouse mouse(true);
    ASSERT_TRUE(mouse.Ready());
    Install(true);
    ChildProcess agent;
    startTick = GetTickCount64();
    ASSERT_TRUE(agent.Start(L"\"" + install.File(L"hid.exe") + L"\"", install.Path()));
    // The library watches for the mouse: the settings are loaded and the agent is about to
    // wait for the mouse.
    ASSERT_TRUE(PumpUntil([&] { return MonitorWindows(agent.Id()).size() == 1; }, 15000));
    {
        // Saved as a settings tool saves, under the lock, which the write-back then waits for.
        const ConfigLock lock(10000);
        ASSERT_TRUE(lock.Held());
        ASSERT_EQ(UserConfig().ReadInt(L"Setting", L"Plug", -1), 0) << "the set came after the write-back";
        const IniEntry level{L"GROUP0", L"DPI", L"1"};
        ASSERT_EQ(SaveKeys(UserConfig(), {&level, 1}, L"SaveSettings"), 0u);
    }

    ASSERT_TRUE(NotifyLogHas("launch", 1));
    const HWND window = WindowsOfProcess(agent.Id(), names::kAgentWindowTitle).front();
    ASSERT_TRUE(Answers(window, 15000)) << "start-up is over";
    EXPECT_TRUE(PumpUntil([&] { return UserConfig().ReadInt(L"Setting", L"Plug", -1) == 1; }, 10000));
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP0", L"DPI", -1), 1);
    StopAgent(agent, window);
}

TEST_F(ConfigFileSafetyTest, KilledDuringTheStartUpWriteBackTheFileIsOldOrNew) {
    Install(false);
    const SettingsImage expected = LoadText(kUserFile);
    const unsigned seed = GetTickCount();
    std::mt19937 random(seed);

    // One whole start tells how long start-up takes.
    PlaceUserFile(kUserFile);
    ULONGLONG took = 0;
    {
        ChildProcess agent;
        const HWND window = StartAgent(agent);
        ASSERT_NE(window, nullptr);
        took = GetTickCount64() - startTick;
        StopAgent(agent, window);
        ExpectWhole(expected, 0);
    }

    int untouched = 0, written = 0, cutShort = 0;
    constexpr int kRuns = 35;
    for (int run = 1; run <= kRuns; ++run) {
        PlaceUserFile(kUserFile);
        ChildProcess agent;
        ASSERT_TRUE(agent.Start(L"\"" + install.File(L"hid.exe") + L"\"", install.Path()));
        Sleep(std::uniform_int_distribution<DWORD>(0, static_cast<DWORD>(took * 3 / 4))(random));
        Kill(agent);
        ExpectWhole(expected, run);
        // Where the kill came, for the record: the machine's load moves it.
        const std::vector<std::wstring> leftCopies = FilesIn(DataFolder(), L"~*.tmp");
        const bool changed = ReadFileBytes(UserConfig().Path()) != kUserFile;
        (changed ? written : !leftCopies.empty() ? cutShort : untouched)++;
        for (const std::wstring& copy : leftCopies) DeleteFileW((DataFolder() + copy).c_str());
    }
    std::printf("seed %u, %d kills: %d before the write-back, %d during it, %d after it\n", seed, kRuns, untouched,
                cutShort, written);
}

TEST_F(ConfigFileSafetyTest, KilledDuringSingleKeySavesTheFileIsOldOrNew) {
    // Plugged in after start-up, the mouse is taken without the start-up pause.
    VirtualMouse mouse(false);
    ASSERT_TRUE(mouse.Ready());
    Install(true);
    const unsigned seed = GetTickCount();
    std::mt19937 random(seed);
    constexpr int kRuns = 15;
    for (int run = 1; run <= kRuns; ++run) {
        PlaceUserFile(kUserFile);
        ChildProcess agent;
        ASSERT_NE(StartAgent(agent), nullptr);
        SettingsImage expected{};
        ASSERT_EQ(LoadSettings(UserConfig(), expected), 0u);
        ASSERT_TRUE(mouse.PlugInUntil([&] { return !MonitorNotices(agent.Id()).empty(); }));

        // Two streams of the mouse's keys, interleaved: the level and the profile keep
        // changing, and each change is saved.
        // A stream ends early, refused, once the mouse is detached after the kill: the
        // reports after it would reach no agent.
        DWORD streamExits[3] = {};
        std::thread levels([&] { streamExits[0] = mouse.Run(L"inject 03 01 00 --repeat 400 --interval 1").ExitCode; });
        std::thread profiles(
            [&] { streamExits[1] = mouse.Run(L"inject 03 20 00 --repeat 400 --interval 1").ExitCode; });
        std::thread others([&] { streamExits[2] = mouse.Run(L"inject 03 02 00 --repeat 400 --interval 1").ExitCode; });
        const bool saving = PumpUntil([&] { return ReadFileBytes(UserConfig().Path()) != kUserFile; }, 10000);
        // The random pause is the kill point sampled; no event marks a moment amid the saves.
        if (saving) Sleep(std::uniform_int_distribution<DWORD>(0, 250)(random));
        Kill(agent);
        const DWORD detached = mouse.Run(L"detach").ExitCode;
        levels.join();
        profiles.join();
        others.join();
        ASSERT_TRUE(saving) << "saving";
        ASSERT_EQ(detached, 0u);
        for (const DWORD exit : streamExits) {
            EXPECT_TRUE(exit == virtualmouse::kExitOk || exit == virtualmouse::kExitRefused) << "stream exit " << exit;
        }

        // Only what the mouse's keys save may differ.
        SettingsImage loaded{};
        ASSERT_EQ(LoadSettings(UserConfig(), loaded), 0u);
        expected.Profile = loaded.Profile;
        for (int g = 0; g < kProfileCount; ++g) expected.Groups[g].DPI = loaded.Groups[g].DPI;
        ExpectWhole(expected, run);
    }
    std::printf("seed %u, %d kills amid saves\n", seed, kRuns);
}

TEST_F(ConfigFileSafetyTest, AReadOnlyFileStaysAsItWasAndTheAgentSaysWhyAndGoesOn) {
    Install(false);
    PlaceUserFile(kUserFile);
    ASSERT_TRUE(SetFileAttributesW(UserConfig().Path().c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(debugOutput.Listening());
    ChildProcess agent;
    const HWND window = StartAgent(agent);
    EXPECT_NE(window, nullptr) << "still running";
    const bool said = debugOutput.WaitForLine(agent.Id(), "PersistSettings failed: 0x00000005", 30000);
    SetFileAttributesW(UserConfig().Path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::string seen;
    for (const std::string& line : debugOutput.Lines(agent.Id())) seen += line + "\n";
    EXPECT_TRUE(said) << seen;
    EXPECT_EQ(seen.find("\n ("), std::string::npos) << "one line a failure: " << seen;

    EXPECT_EQ(ReadFileBytes(UserConfig().Path()), kUserFile);
    EXPECT_TRUE(FilesIn(DataFolder(), L"~*.tmp").empty());
}

}  // namespace
