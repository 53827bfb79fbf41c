// The tray companion beside the real agent and the shipped HidDevice.dll in one install
// folder, with the virtual mouse: the agent keeps it running exactly while the mouse is
// attached.
#include <gtest/gtest.h>

#include "NotifyHostInstall.h"
#include "PathText.h"
#include "ProgramNames.h"
#include "VirtualMouse.h"

namespace {

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
        EXPECT_TRUE(install.AddAll({L"hid.exe", names::kHidDeviceDll, names::kNotifyHostExe, names::kConfigFile,
                                    names::kMacroListFile, L"skins"}));
    }
    ~NotifyHostWithAgentTest() override {
        // Whatever companion is left would hold the single-instance mutex for later tests.
        if (const HWND left = FindWindowW(nullptr, names::kNotifyHostWindowTitle)) PostMessageW(left, WM_CLOSE, 0, 0);
    }

    HWND StartAgent(ChildProcess& agent) {
        if (!agent.Start(L"\"" + install.File(L"hid.exe") + L"\"", install.Path())) return nullptr;
        return WaitForWindowOf(agent.Id(), names::kAgentWindowTitle, 15000);
    }

    ProgramFolder install;
    ScratchFolder appData;
    AppDataRedirect redirect{appData.Path()};
};

TEST_F(NotifyHostWithAgentTest, TheAgentRunsItWhileTheMouseIsAttachedAndClosesItWhenItEnds) {
    const VirtualMouse mouse(true);
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

    ASSERT_EQ(mouse.Run(L"detach").ExitCode, 0u);
    EXPECT_TRUE(Ended(companion, 10000)) << "closed when the mouse goes";
    EXPECT_FALSE(IconShown(companion.Window));

    ASSERT_EQ(mouse.Run(L"attach").ExitCode, 0u);
    companion = WaitForCompanion(15000);
    ASSERT_NE(companion.Window, nullptr) << "started again when the mouse comes back";
    EXPECT_TRUE(IconShown(companion.Window));

    PostMessageW(agentWindow, WM_CLOSE, 0, 0);
    EXPECT_TRUE(agent.WaitForExit(10000));
    EXPECT_TRUE(Ended(companion, 10000)) << "closed with the agent";
    EXPECT_FALSE(IconShown(companion.Window));
}

}  // namespace
