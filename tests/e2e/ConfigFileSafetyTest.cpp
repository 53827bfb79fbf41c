// config.ini under the agent's writes: a change the settings tool makes while the agent
// starts is kept, and no moment at which the agent dies leaves a torn or reverted file.
#include <atomic>
#include <random>
#include <thread>

#include "AgentHarness.h"
#include "ConfigFile.h"
#include "ConfigKeys.h"
#include "ControlClient.h"

namespace {

// A user's file that the write-back has much to fill in, with keys of the settings
// tool's own that the agent does not know.
// No notices, so that no display program is waited for.
const std::string kUserFile = "[Setting]\r\nLanguage=fr\r\nProfile=2\r\nTrayEnabled=0\r\nPlug=0\r\n[Window]\r\nLeft=40\r\nTop=12\r\n"
                              "[GROUP1]\r\nDPI=9\r\nSkin=dark\r\nButtonAssigned1_3=0102" + std::string(156, '0') + "03\r\n"
                              "[ButtonAssigned1_3]\r\nPath=C:\\Games\\run.exe\r\nMacroName=Burst\r\nKeyNumber=2\r\n"
                              "Tooltip=Fire\r\n";

const IniEntry kToolsOwn[] = {
    {L"Setting", L"Language", L"fr"}, {L"Window", L"Left", L"40"},  {L"Window", L"Top", L"12"},
    {L"GROUP1", L"Skin", L"dark"},    {L"ButtonAssigned1_3", L"Tooltip", L"Fire"},
};

SettingsImage LoadText(const std::string& bytes) {
    SettingsImage image{};
    LoadSettings(IniText(IniText::DecodeFileBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()})),
                 image);
    return image;
}

// Runs hid.exe under this process as its debugger and collects its debugger output until
// a line starting with wanted arrives; then lets it run on alone.
class DebuggedAgent {
public:
    DebuggedAgent(const std::wstring& exe, const std::wstring& folder) {
        std::wstring commandLine = L"\"" + exe + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                                  folder.c_str(), &startup, &info_);
    }
    ~DebuggedAgent() {
        if (!started_) return;
        if (debugging_) DebugActiveProcessStop(info_.dwProcessId);
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 10000);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    DebuggedAgent(const DebuggedAgent&) = delete;
    DebuggedAgent& operator=(const DebuggedAgent&) = delete;

    bool Started() const { return started_; }
    DWORD Id() const { return info_.dwProcessId; }

    bool WaitForLine(const std::string& wanted, DWORD timeoutMs) {
        const ULONGLONG end = GetTickCount64() + timeoutMs;
        bool found = false;
        while (!found && GetTickCount64() < end) {
            DEBUG_EVENT event{};
            if (!WaitForDebugEvent(&event, 100)) continue;
            if (event.dwDebugEventCode == OUTPUT_DEBUG_STRING_EVENT) {
                const OUTPUT_DEBUG_STRING_INFO& text = event.u.DebugString;
                const std::size_t unit = text.fUnicode ? 2 : 1;
                std::string bytes(text.nDebugStringLength * unit, '\0');
                SIZE_T read = 0;
                ReadProcessMemory(info_.hProcess, text.lpDebugStringData, bytes.data(), bytes.size(), &read);
                std::string line;
                for (std::size_t i = 0; i + unit <= read; i += unit) {
                    if (!bytes[i]) break;
                    line += bytes[i];
                }
                found = line.rfind(wanted, 0) == 0;
                lines.push_back(line);
            }
            if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT) CloseHandle(event.u.CreateProcessInfo.hFile);
            if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) CloseHandle(event.u.LoadDll.hFile);
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId,
                               event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
                                       event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT
                                   ? DBG_EXCEPTION_NOT_HANDLED
                                   : DBG_CONTINUE);
            if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) break;
        }
        DebugSetProcessKillOnExit(FALSE);
        debugging_ = !DebugActiveProcessStop(info_.dwProcessId);
        return found;
    }

    std::vector<std::string> lines;

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
    bool debugging_ = true;
};

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
    SimMouse mouse(true);
    ASSERT_TRUE(mouse.Ready());
    Install(true);
    ChildProcess agent;
    startTick = GetTickCount64();
    ASSERT_TRUE(agent.Start(L"\"" + install.File(L"hid.exe") + L"\"", install.Path()));
    // The window exists and the first-run copy is made: the settings are loaded and the
    // agent waits for the mouse.
    ASSERT_TRUE(PumpUntil([&] { return !WindowsOfProcess(agent.Id(), names::kAgentWindowTitle).empty() &&
                                       FileExists(UserConfig().Path()); }, 15000));
    const CommandResult set = RunCommand(L"\"" + kDistFolder + L"tern7ctl.exe\" set GROUP0 DPI 1");
    ASSERT_EQ(set.ExitCode, 0u) << set.Output;
    ASSERT_EQ(CountLines(NotifyLog(), "launch"), 0) << "the set came after the pause";

    ASSERT_TRUE(NotifyLogHas("launch", 1));
    const HWND window = WindowsOfProcess(agent.Id(), names::kAgentWindowTitle).front();
    ASSERT_TRUE(Answers(window, 15000)) << "start-up is over";
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP0", L"DPI", -1), 1);
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"Plug", -1), 1);
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
        const bool leftCopy = FileExists(UserConfig().WorkingCopyPath());
        const bool changed = ReadFileBytes(UserConfig().Path()) != kUserFile;
        (changed ? written : leftCopy ? cutShort : untouched)++;
        DeleteFileW(UserConfig().WorkingCopyPath().c_str());
    }
    std::printf("seed %u, %d kills: %d before the write-back, %d during it, %d after it\n", seed, kRuns, untouched,
                cutShort, written);
}

TEST_F(ConfigFileSafetyTest, KilledDuringSingleKeySavesTheFileIsOldOrNew) {
    // Plugged in after start-up, the mouse is taken without the start-up pause.
    SimMouse mouse(false);
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
        ASSERT_EQ(mouse.Run(L"attach").ExitCode, 0u);

        // Two streams of the mouse's keys, interleaved: the level and the profile keep
        // changing, and each change is saved.
        // A stream ends early, refused, once the mouse is detached after the kill: the
        // reports after it would reach no agent.
        DWORD streamExits[3] = {};
        std::thread levels([&] { streamExits[0] = mouse.Run(L"inject 03 01 00 --repeat 400 --interval 1").ExitCode; });
        std::thread profiles([&] { streamExits[1] = mouse.Run(L"inject 03 20 00 --repeat 400 --interval 1").ExitCode; });
        std::thread others([&] { streamExits[2] = mouse.Run(L"inject 03 02 00 --repeat 400 --interval 1").ExitCode; });
        const bool saving =
            PumpUntil([&] { return ReadFileBytes(UserConfig().Path()) != kUserFile; }, 10000);
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
            EXPECT_TRUE(exit == simmouse::kExitOk || exit == simmouse::kExitRefused) << "stream exit " << exit;
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
    DebuggedAgent agent(install.File(L"hid.exe"), install.Path());
    ASSERT_TRUE(agent.Started());
    const bool said = agent.WaitForLine("PersistSettings failed: 0x00000005", 30000);
    SetFileAttributesW(UserConfig().Path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::string seen;
    for (const std::string& line : agent.lines) seen += line + "\n";
    EXPECT_TRUE(said) << seen;
    EXPECT_EQ(seen.find("\n ("), std::string::npos) << "one line a failure: " << seen;

    EXPECT_NE(WaitForAnsweringWindow(agent.Id(), names::kAgentWindowTitle, 15000), nullptr) << "still running";
    EXPECT_EQ(ReadFileBytes(UserConfig().Path()), kUserFile);
    EXPECT_FALSE(FileExists(UserConfig().WorkingCopyPath()));
}

}  // namespace
