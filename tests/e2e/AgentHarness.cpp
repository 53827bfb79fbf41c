#include "AgentHarness.h"

#include <algorithm>
#include <cstdio>

const std::wstring kStandInFolder = HostFolder(TERN7_STANDIN_DIR);

void AgentTest::Install(bool withMouseLibrary, bool withDefaults) {
    std::vector<const wchar_t*> files{L"hid.exe"};
    if (withDefaults) files.insert(files.end(), {L"config.ini", L"macrolist.ini"});
    if (withMouseLibrary) files.push_back(L"HidDevice.dll");
    for (const wchar_t* file : files) ASSERT_TRUE(install.Add(file)) << "cannot copy " << file;
    ASSERT_TRUE(install.Add(L"notifyhost.exe", kStandInFolder));
}

HWND AgentTest::StartAgent(ChildProcess& agent, const std::wstring& folder) {
    startTick = GetTickCount64();
    if (!agent.Start(L"\"" + install.File(L"hid.exe") + L"\"", folder.empty() ? install.Path() : folder))
        return nullptr;
    return WaitForAnsweringWindow(agent.Id(), names::kAgentWindowTitle, 15000);
}

void AgentTest::StopAgent(ChildProcess& agent, HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(agent.WaitForExit(10000));
}

void AgentTest::ExpectHiddenWithTheUsersFolderAndNoMouse(const ChildProcess& agent, HWND window) const {
    EXPECT_EQ(WindowsOfProcess(agent.Id(), names::kAgentWindowTitle).size(), 1u);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE), WS_EX_TOOLWINDOW);
    EXPECT_TRUE(FileExists(DataFolder() + L"config.ini"));
    EXPECT_TRUE(FileExists(DataFolder() + L"macrolist.ini"));
    EXPECT_TRUE(FolderExists(DataFolder() + L"Profiles"));
    EXPECT_TRUE(FolderExists(DataFolder() + L"Macros"));
    // Saved at once, or a moment later when another program held the file's lock.
    EXPECT_TRUE(PumpUntil([&] { return UserConfig().ReadInt(L"Setting", L"Plug", -1) == 0; }, 5000));
}

bool AgentTest::NotifyLogHas(const std::string& word, int count, DWORD timeoutMs) const {
    return PumpUntil([&] { return CountLines(NotifyLog(), word) >= count; }, timeoutMs);
}

long long AgentTest::NotifyHostLaunchDelay() const {
    for (const std::string& line : NotifyLog()) {
        if (line.rfind("launch ", 0) == 0) return std::stoll(line.substr(7)) - static_cast<long long>(startTick);
    }
    return -1;
}

std::vector<std::string> AgentTest::MonitorNotices(DWORD agent) const {
    std::vector<std::string> notices;
    for (const std::string& line : debugOutput.Lines(agent)) {
        if (line.rfind("MONITOR", 0) == 0) notices.push_back(line);
    }
    return notices;
}

std::vector<std::string> AgentTest::WaitForNotices(DWORD agent, std::size_t count) const {
    PumpUntil([&] { return MonitorNotices(agent).size() >= count; }, 30000);
    return MonitorNotices(agent);
}

void AgentWithMouseTest::TearDown() {
    if (HasFailure()) {
        // What the agent heard and did, for a failure that only a loaded machine shows.
        std::string said, notifyHost;
        for (const std::string& line : debugOutput.Lines(agent.Id())) said += "  " + line + "\n";
        for (const std::string& line : NotifyLog()) notifyHost += "  " + line + "\n";
        std::printf("the agent's debugger output:\n%sthe tray companion's log:\n%sthe mouse:\n%s", said.c_str(),
                    notifyHost.c_str(), mouse.Run(L"state").Output.c_str());
    }
    // The agent's own shutdown has tests of its own; here it only has to be gone, with
    // what it started, before the next test starts an agent.
    agent.Kill();
}

void AgentWithMouseTest::Start(bool withMouse, const std::wstring& folder) {
    ASSERT_TRUE(mouse.Ready());
    // With the mouse plugged in at start the agent pauses two seconds before the tray
    // companion; only the tests of start-up wait for that. Here the mouse comes after.
    window = StartAgent(agent, folder);
    ASSERT_NE(window, nullptr);
    if (!withMouse) return;
    PlugIn();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(NotifyLogHas("launch", 1)) << "the tray companion started";
}

void AgentWithMouseTest::PlugIn() {
    const std::size_t before = MonitorNotices(agent.Id()).size();
    const auto since = [&] {
        const std::vector<std::string> notices = MonitorNotices(agent.Id());
        return std::vector<std::string>(notices.begin() + static_cast<std::ptrdiff_t>(before), notices.end());
    };
    ASSERT_TRUE(mouse.PlugInUntil([&] {
        const std::vector<std::string> notices = since();
        return std::find(notices.begin(), notices.end(), "MONITOROPEN:dwDeviceID=2") != notices.end();
    })) << "the agent heard of the mouse";
    // Both collections open, the one that takes the writes after the keys' one. The agent
    // starts the tray companion in between, which takes seconds on a loaded machine.
    const auto opened = [&] {
        const std::vector<std::string> notices = since();
        return notices.size() >= 2 && notices[notices.size() - 2] == "MONITOROPEN:dwDeviceID=2" &&
               notices.back() == "MONITOROPEN:dwDeviceID=3";
    };
    ASSERT_TRUE(PumpUntil(opened, 30000)) << "the agent took the mouse";
}

bool AgentWithMouseTest::Responsive() const { return Answers(window, 10000); }

int AgentWithMouseTest::WriteCount() const { return static_cast<int>(mouse.Writes().size()); }
