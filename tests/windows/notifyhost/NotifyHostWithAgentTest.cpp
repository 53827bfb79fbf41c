// The tray companion beside the real agent in one install folder, with the simulated
// mouse: the agent keeps it running exactly while the mouse is attached.
#include <gtest/gtest.h>

#include "NotifyHostInstall.h"
#include "PathText.h"
#include "ProgramNames.h"

namespace {

// The simulated mouse's device server, on a pipe of this test's own that hid.exe and its
// HidDevice.dll learn from the environment they inherit.
class SimulatedMouse {
public:
    SimulatedMouse() {
        const std::wstring pipe = L"\\\\.\\pipe\\Tern7SimMouseTray-" + std::to_wstring(GetCurrentProcessId());
        SetEnvironmentVariableW(kPipeVariable, pipe.c_str());
        server_.Start(Tool(L"serve --attached"));
        ready_ = Run(L"wait-ready 10000") == 0;
    }
    ~SimulatedMouse() {
        Run(L"quit");
        server_.WaitForExit(5000);
        SetEnvironmentVariableW(kPipeVariable, nullptr);
    }
    bool Ready() const { return ready_; }
    DWORD Run(const std::wstring& arguments) const { return RunCommand(Tool(arguments)).ExitCode; }

private:
    static constexpr wchar_t kPipeVariable[] = L"TERN7_SIMMOUSE_PIPE";
    static std::wstring Tool(const std::wstring& arguments) {
        return L"\"" + HostFolder(TERN7_SIMMOUSE_DIR) + L"simmouse.exe\" " + arguments;
    }
    ChildProcess server_;
    bool ready_ = false;
};

// A tray companion that some other process started, found by its window.
struct RunningCompanion {
    HWND Window = nullptr;
    UniqueKernelHandle Process;
    std::wstring Image;
};

RunningCompanion WaitForCompanion(DWORD timeoutMs) {
    RunningCompanion companion;
    PumpUntil([&] { return (companion.Window = FindWindowW(nullptr, names::kNotifyHostWindowTitle)) != nullptr; },
              timeoutMs);
    // Found by title already inside its creation; once it answers, its icon is added.
    if (!Answers(companion.Window, 10000)) return {};
    DWORD id = 0;
    GetWindowThreadProcessId(companion.Window, &id);
    companion.Process.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    wchar_t image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (QueryFullProcessImageNameW(companion.Process.get(), 0, image, &length)) companion.Image = image;
    return companion;
}

bool Ended(const RunningCompanion& companion, DWORD timeoutMs) {
    return PumpUntil([&] { return WaitForSingleObject(companion.Process.get(), 0) == WAIT_OBJECT_0; }, timeoutMs);
}

class NotifyHostWithAgentTest : public ::testing::Test {
protected:
    NotifyHostWithAgentTest() {
        const std::wstring dist = DistFolder();
        for (const wchar_t* file : {L"hid.exe", names::kNotifyHostExe, names::kConfigFile, names::kMacroListFile})
            CopyInto(dist + file, install.File(file));
        CopyInto(HostFolder(TERN7_SIMMOUSE_DIR) + names::kHidDeviceDll, install.File(names::kHidDeviceDll));
        CreateDirectoryW(install.File(L"skins").c_str(), nullptr);
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((dist + L"skins\\*").c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                CopyInto(dist + L"skins\\" + found.cFileName, install.File(L"skins\\") + found.cFileName);
        }
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
    }
    ~NotifyHostWithAgentTest() override {
        // Whatever companion is left would hold the single-instance mutex for later tests.
        if (const HWND left = FindWindowW(nullptr, names::kNotifyHostWindowTitle)) PostMessageW(left, WM_CLOSE, 0, 0);
    }

    HWND StartAgent(ChildProcess& agent) {
        if (!agent.Start(L"\"" + install.File(L"hid.exe") + L"\"", install.Path())) return nullptr;
        return WaitForWindowOf(agent.Id(), names::kAgentWindowTitle, 15000);
    }

    ScratchFolder install;
    ScratchFolder appData;
    AppDataRedirect redirect{appData.Path()};
};

TEST_F(NotifyHostWithAgentTest, TheAgentRunsItWhileTheMouseIsAttachedAndClosesItWhenItEnds) {
    SimulatedMouse mouse;
    ASSERT_TRUE(mouse.Ready());
    ChildProcess agent;
    const HWND agentWindow = StartAgent(agent);
    ASSERT_NE(agentWindow, nullptr);

    RunningCompanion companion = WaitForCompanion(15000);
    ASSERT_NE(companion.Window, nullptr) << "started with the mouse present";
    EXPECT_EQ(CompareStringOrdinal(companion.Image.c_str(), -1, install.File(names::kNotifyHostExe).c_str(), -1, TRUE),
              CSTR_EQUAL)
        << companion.Image;
    EXPECT_TRUE(IconShown(companion.Window));

    ASSERT_EQ(mouse.Run(L"detach"), 0u);
    EXPECT_TRUE(Ended(companion, 10000)) << "closed when the mouse goes";
    EXPECT_FALSE(IconShown(companion.Window));

    ASSERT_EQ(mouse.Run(L"attach"), 0u);
    companion = WaitForCompanion(15000);
    ASSERT_NE(companion.Window, nullptr) << "started again when the mouse comes back";
    EXPECT_TRUE(IconShown(companion.Window));

    PostMessageW(agentWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(agent.WaitForExit(10000));
    EXPECT_TRUE(Ended(companion, 10000)) << "closed with the agent";
    EXPECT_FALSE(IconShown(companion.Window));
}

}  // namespace
