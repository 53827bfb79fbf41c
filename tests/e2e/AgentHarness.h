#pragma once
// hid.exe as a user runs it, for the end-to-end tests: an install folder of the test's
// own with the agent, its default files and the shipped HidDevice.dll, the virtual mouse
// on Wine's HID stack, and the agent started and stopped from outside.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DebugOutputListener.h"
#include "IniFile.h"
#include "PathText.h"
#include "ProgramNames.h"
#include "TestFiles.h"
#include "TestProcess.h"
#include "VirtualMouse.h"

// The folder of the test programs that stand in for others, as Wine shows it.
extern const std::wstring kStandInFolder;

class AgentTest : public ::testing::Test {
protected:
    // The session's debugger output, listened to before any agent starts: what the agent
    // says of the library's notices and of what goes wrong.
    const DebugOutputListener debugOutput;

    // Lays out an install folder: hid.exe and its default files, optionally the shipped
    // HidDevice.dll, and the tray companion stand-in.
    void Install(bool withMouseLibrary, bool withDefaults = true);
    // Starts the agent and waits until its start-up sequence is over and its message
    // loop answers; null if it did not come up.
    HWND StartAgent(ChildProcess& agent, const std::wstring& folder = L"");
    void StopAgent(ChildProcess& agent, HWND window);
    // What an agent without a mouse shows: one hidden tool window, the user's folder set
    // up and "Plug" 0 recorded.
    void ExpectHiddenWithTheUsersFolderAndNoMouse(const ChildProcess& agent, HWND window) const;

    std::wstring DataFolder() const { return appData.Path() + L"Pelora Tern-7\\"; }
    IniFile UserConfig() const { return IniFile(DataFolder() + L"config.ini"); }
    std::vector<std::string> NotifyLog() const { return ReadLines(install.File(L"notifyhost.log")); }
    // Starting a program takes seconds on a loaded machine.
    bool NotifyLogHas(const std::string& word, int count, DWORD timeoutMs = 30000) const;
    // When the tray companion was launched, in ticks after the agent was started.
    long long NotifyHostLaunchDelay() const;
    // The library's notices in the order the agent took them ("MONITOROPEN:dwDeviceID=2").
    std::vector<std::string> MonitorNotices(DWORD agent) const;
    // Pumps until the agent told of `count` notices; all it told of then.
    std::vector<std::string> WaitForNotices(DWORD agent, std::size_t count) const;

    ProgramFolder install;
    ScratchFolder appData;
    AppDataRedirect redirect{appData.Path()};
    ULONGLONG startTick = 0;
};

// The agent running in its install folder with the virtual mouse plugged in, stopped
// after the test.
class AgentWithMouseTest : public AgentTest {
protected:
    void TearDown() override;
    // Starts the agent (in folder, or its install folder) and, with withMouse, plugs the
    // mouse in.
    void Start(bool withMouse = true, const std::wstring& folder = L"");
    // Plugs the mouse in and waits until the agent has both its collections open. The
    // system tells of each collection on its own, and under load far enough apart that the
    // library opens them one at a time.
    void PlugIn();
    // Whether the agent's window still answers.
    bool Responsive() const;
    // The writes the mouse logged since its log was last cleared.
    int WriteCount() const;

    VirtualMouse mouse{false};
    ChildProcess agent;
    HWND window = nullptr;
};
