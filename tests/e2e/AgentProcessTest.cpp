// hid.exe as a user runs it: installed in a folder of its own with its default files,
// started with and without the shipped HidDevice.dll and the virtual mouse, and driven from
// outside by window messages.
#include <tlhelp32.h>

#include "AgentHarness.h"
#include "HidTestSupport.h"
#include "TestWindow.h"

namespace {

using AgentProcessTest = AgentTest;

// The mouse's two collections opened, the keys' first; closed, the last opened first.
const std::vector<std::string> kMouseOpened{"MONITOROPEN:dwDeviceID=2", "MONITOROPEN:dwDeviceID=3"};
const std::vector<std::string> kMouseClosed{"MONITORCLOSE:dwDeviceID=3", "MONITORCLOSE:dwDeviceID=2"};

std::vector<std::string> Joined(std::vector<std::string> first, const std::vector<std::string>& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

// The full path of a module loaded in another process, or empty.
std::wstring LoadedModule(DWORD processId, const wchar_t* name) {
    const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!snapshot) return {};
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot.get(), &entry); more; more = Module32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szModule, name) == 0) return entry.szExePath;
    }
    return {};
}

TEST_F(AgentProcessTest, WithoutTheLibraryItStartsHiddenAndSetsUpTheUsersFolder) {
    Install(false);
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Mouse", L"DoubleClickSpeed", REG_SZ, L"123", 8);
    ChildProcess agent;
    const HWND window = StartAgent(agent);
    ASSERT_NE(window, nullptr);

    ExpectHiddenWithTheUsersFolderAndNoMouse(agent, window);

    // Profile 0 of the defaults: double-click step 5, sensitivity 5, no acceleration, 3 lines.
    wchar_t value[32] = {};
    DWORD bytes = sizeof(value);
    RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Mouse", L"DoubleClickSpeed", RRF_RT_REG_SZ, nullptr, value,
                 &bytes);
    EXPECT_STREQ(value, L"620");
    bytes = sizeof(value);
    RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Mouse", L"MouseSensitivity", RRF_RT_REG_SZ, nullptr, value,
                 &bytes);
    EXPECT_STREQ(value, L"10");

    EXPECT_EQ(agent.ProcessesInJob(), 1u) << "no tray companion without a mouse";
    StopAgent(agent, window);
}

TEST_F(AgentProcessTest, WithTheLibraryAndNoMouseItStartsHiddenRecordsNoMouseAndClosesCleanly) {
    VirtualMouse mouse(false);
    ASSERT_TRUE(mouse.Ready());
    Install(true);
    ChildProcess agent;
    const HWND window = StartAgent(agent);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(_wcsicmp(LoadedModule(agent.Id(), L"HidDevice.dll").c_str(), install.File(L"HidDevice.dll").c_str()), 0)
        << "the agent runs with the installed library";
    // The agent starts monitoring after its window is up.
    EXPECT_TRUE(PumpUntil([&] { return MonitorWindows(agent.Id()).size() == 1; }, 5000))
        << "the library watches for the mouse";

    ExpectHiddenWithTheUsersFolderAndNoMouse(agent, window);

    EXPECT_EQ(agent.ProcessesInJob(), 1u) << "no tray companion without a mouse";
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(agent.WaitForExit(10000));
    EXPECT_EQ(agent.ExitCode(), 0u);
}

TEST_F(AgentProcessTest, WithoutDefaultFilesTheUsersConfigIsWrittenWhole) {
    Install(false, false);
    ChildProcess agent;
    const HWND window = StartAgent(agent);
    ASSERT_NE(window, nullptr);
    StopAgent(agent, window);

    // Every key, in the order the agent writes them: "Plug" first, then the image.
    std::vector<std::string> keys;
    std::string section;
    for (const std::string& line : ReadLines(DataFolder() + L"config.ini")) {
        if (!line.empty() && line[0] == '[')
            section = line;
        else if (const auto equals = line.find('='); equals != std::string::npos)
            keys.push_back(section + line.substr(0, equals));
    }
    std::vector<std::string> expected = {"[Setting]Plug", "[Setting]Profile", "[Setting]TrayEnabled",
                                         "[Setting]MouseButtons", "[Setting]PollingRate"};
    for (int g = 0; g < 3; ++g) {
        const std::string group = "[GROUP" + std::to_string(g) + "]";
        for (const char* key : {"SelectHand", "WheelScrollLines", "MouseSensitivity", "DoubleClickSpeed",
                                "UniversalScrollEnabled", "AccelerationEnabled", "XYSensitivityEnabled", "MouseSpeedX",
                                "MouseSpeedY", "OFASensitivity", "LedState", "FlashState", "DPI"})
            expected.push_back(group + key);
        for (int b = 1; b <= 8; ++b)
            expected.push_back(group + "ButtonAssigned" + std::to_string(g) + "_" + std::to_string(b));
        for (int b = 1; b <= 8; ++b) {
            const std::string button = "[ButtonAssigned" + std::to_string(g) + "_" + std::to_string(b) + "]";
            for (const char* key : {"ButtonID", "ButtonFunc", "KeyNumber", "MacroName", "Path"})
                expected.push_back(button + key);
        }
    }
    EXPECT_EQ(keys, expected);
}

TEST_F(AgentProcessTest, TheWriteBackValidatesAndKeepsTheSettingsToolsKeys) {
    Install(false);
    IniFile defaults(install.File(L"config.ini"));
    defaults.WriteString(L"GROUP1", L"DPI", L"9");
    defaults.WriteString(L"Setting", L"Profile", L"junk");
    defaults.WriteString(L"Setting", L"Language", L"de");
    defaults.WriteString(L"ButtonAssigned2_3", L"ButtonFunc", L"300");
    ChildProcess agent;
    const HWND window = StartAgent(agent);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(UserConfig().ReadInt(L"GROUP1", L"DPI", -1), 3);
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"Profile", -1), 0);
    EXPECT_EQ(UserConfig().ReadString(L"Setting", L"Language", L""), L"de");
    EXPECT_EQ(UserConfig().ReadInt(L"ButtonAssigned2_3", L"ButtonFunc", -1), 44);
    StopAgent(agent, window);
}

TEST_F(AgentProcessTest, ASecondAgentEndsAtOnceAndTouchesNothing) {
    Install(false);
    ChildProcess first;
    const HWND window = StartAgent(first);
    ASSERT_NE(window, nullptr);
    const std::string before = ReadFileBytes(DataFolder() + L"config.ini");

    ChildProcess second;
    ASSERT_TRUE(second.Start(L"\"" + install.File(L"hid.exe") + L"\"", install.Path()));
    EXPECT_TRUE(second.WaitForExit(5000));
    EXPECT_TRUE(WindowsOfProcess(second.Id(), names::kAgentWindowTitle).empty());
    EXPECT_EQ(ReadFileBytes(DataFolder() + L"config.ini"), before);
    EXPECT_EQ(WindowsOfProcess(first.Id(), names::kAgentWindowTitle).size(), 1u);
    StopAgent(first, window);
}

// Windows of this test that take the titles of the settings tool and the tray companion
// and note when they are asked to close.
struct CompanionWindows {
    std::vector<ULONGLONG> closedAt;
    TestWindow::Options options{.OnMessage = [this](HWND, UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message == WM_CLOSE) closedAt.push_back(GetTickCount64());
        return message == WM_CLOSE;
    }};
    TestWindow settingsTool{names::kSettingsToolWindowTitle, options};
    TestWindow notifyHost{names::kNotifyHostWindowTitle, options};
};

TEST_F(AgentProcessTest, ClosingTheAgentClosesItsCompanionsAndEndsAboutASecondLater) {
    Install(false);
    ChildProcess agent;
    const HWND window = StartAgent(agent);
    ASSERT_NE(window, nullptr);
    CompanionWindows companions;
    const ULONGLONG closing = GetTickCount64();
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(agent.WaitForExit(10000));
    const ULONGLONG ended = GetTickCount64();
    ASSERT_EQ(companions.closedAt.size(), 2u);
    EXPECT_LT(companions.closedAt.back() - closing, 900u) << "asked to close before the pause";
    EXPECT_GE(ended - closing, 990u);
    EXPECT_LT(ended - closing, 5000u);
}

TEST_F(AgentProcessTest, AMouseAtStartStartsTheTrayCompanionTwoSecondsLaterAndFollowsIt) {
    ASSERT_TRUE(debugOutput.Listening());
    VirtualMouse mouse(true);
    ASSERT_TRUE(mouse.Ready());
    Install(true);
    ChildProcess agent;
    const HWND window = StartAgent(agent);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"Plug", -1), 1);
    EXPECT_EQ(WaitForNotices(agent.Id(), 2), kMouseOpened) << "the library found the mouse at start";

    ASSERT_TRUE(NotifyLogHas("running", 1));
    const long long delay = NotifyHostLaunchDelay();
    EXPECT_GE(delay, 2000);
    EXPECT_LT(delay, 8000);

    ASSERT_EQ(mouse.Run(L"detach").ExitCode, 0u);
    EXPECT_TRUE(NotifyLogHas("closed", 1));
    // The agent starts no second companion while the first one's window is still there.
    ASSERT_TRUE(PumpUntil([] { return FindWindowW(nullptr, names::kNotifyHostWindowTitle) == nullptr; }, 10000));
    ASSERT_EQ(mouse.Run(L"attach").ExitCode, 0u);
    EXPECT_TRUE(NotifyLogHas("running", 2));
    EXPECT_EQ(WaitForNotices(agent.Id(), 6), Joined(Joined(kMouseOpened, kMouseClosed), kMouseOpened));
    StopAgent(agent, window);
}

TEST_F(AgentProcessTest, AConsoleReconnectRestartsTheLinkAndBringsTheTrayCompanionBackAndForgedOnesDoNothing) {
    ASSERT_TRUE(debugOutput.Listening());
    VirtualMouse mouse(true);
    ASSERT_TRUE(mouse.Ready());
    Install(true);
    ChildProcess agent;
    const HWND window = StartAgent(agent);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(NotifyLogHas("running", 1));
    ASSERT_EQ(WaitForNotices(agent.Id(), 2), kMouseOpened);
    DWORD session = 0;
    ASSERT_TRUE(ProcessIdToSessionId(GetCurrentProcessId(), &session));

    // News of another session, as any program can post it: nothing happens.
    SendMessageW(window, WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, session + 1);
    SendMessageW(window, WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, session + 1);
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"Plug", -1), 1);

    SendMessageW(window, WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, session);
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"Plug", -1), 0);
    DWORD_PTR result = 1;
    ASSERT_TRUE(
        SendMessageTimeoutW(window, WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, session, SMTO_NORMAL, 15000, &result));
    EXPECT_EQ(result, 0u);
    // The two seconds for the mouse pass on a timer, the window answering meanwhile.
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"Plug", -1), 0);
    EXPECT_TRUE(PumpUntil([&] { return UserConfig().ReadInt(L"Setting", L"Plug", -1) == 1; }, 10000));

    // The library was stopped and started once, for the connect of this session: a restart
    // for a forged message would have closed and opened the mouse before.
    EXPECT_EQ(WaitForNotices(agent.Id(), 6), Joined(Joined(kMouseOpened, kMouseClosed), kMouseOpened));
    // The companion closed with the old link and one came back with the new.
    EXPECT_TRUE(NotifyLogHas("closed", 1));
    EXPECT_TRUE(NotifyLogHas("running", 2));
    EXPECT_EQ(agent.ProcessesInJob(), 2u) << "the agent and one tray companion";
    StopAgent(agent, window);
}

TEST_F(AgentProcessTest, ALibraryPlantedInTheWorkingFolderOrOnThePathIsNeverLoaded) {
    VirtualMouse mouse(true);
    ASSERT_TRUE(mouse.Ready());
    Install(false);
    ProgramFolder planted;
    ASSERT_TRUE(planted.Add(L"HidDevice.dll"));
    ASSERT_TRUE(planted.Add(L"HidDevice.dll", DistFolder(), L"HIDApi.dll"));
    wchar_t path[8192] = {};
    GetEnvironmentVariableW(L"PATH", path, 8192);
    SetEnvironmentVariableW(L"PATH", (planted.Path() + L";" + path).c_str());
    ChildProcess agent;
    const HWND window = StartAgent(agent, planted.Path());
    SetEnvironmentVariableW(L"PATH", path);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(UserConfig().ReadInt(L"Setting", L"Plug", -1), 0) << "no library took the mouse";
    for (const wchar_t* library : {L"HidDevice.dll", L"HIDApi.dll"}) {
        EXPECT_EQ(LoadedModule(agent.Id(), library), L"") << "loaded from where it was planted";
    }
    StopAgent(agent, window);
}

}  // namespace
