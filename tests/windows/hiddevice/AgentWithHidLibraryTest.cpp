// hid.exe installed with the real HidDevice.dll on a system without the mouse: it must
// run exactly as it does without a mouse library.
#include <windows.h>
#include <tlhelp32.h>

#include "AgentHarness.h"
#include "HidTestSupport.h"

namespace {

using AgentWithHidLibraryTest = AgentTest;

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

TEST_F(AgentWithHidLibraryTest, WithoutAMouseItStartsHiddenRecordsNoMouseAndClosesCleanly) {
    Install(false);
    Copy(BuiltLibraryPath(), install.File(L"HidDevice.dll"));
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

}  // namespace
