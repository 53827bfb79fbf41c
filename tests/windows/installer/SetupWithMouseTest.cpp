// The agent the setup installs and starts, with the HidDevice.dll it ships, against the
// virtual mouse: it takes the mouse when it is plugged in, uploads to it and lets it go.
#include <algorithm>

#include "DebugOutputListener.h"
#include "SetupHarness.h"
#include "VirtualMouse.h"

namespace {

class SetupWithMouse : public SetupHarness {};

TEST_F(SetupWithMouse, TheInstalledAgentRunsTheTrayCompanionWhileTheMouseIsThereAndUploadsToIt) {
    const VirtualMouse mouse(false);
    ASSERT_TRUE(mouse.Ready());
    const DebugOutputListener debugOutput;
    ASSERT_TRUE(debugOutput.Listening());
    ASSERT_EQ(RunSetup(), 0u);
    const HWND agent = WaitForAgent();
    ASSERT_TRUE(agent) << "the setup did not start the agent";

    const DWORD agentId = ProcessOf(agent);
    const auto opened = [&](const std::string& id) {
        const std::vector<std::string> lines = debugOutput.Lines(agentId);
        return std::find(lines.begin(), lines.end(), "MONITOROPEN:dwDeviceID=" + id) != lines.end();
    };
    ASSERT_TRUE(mouse.PlugInUntil([&] { return opened("2"); })) << "the installed agent took the mouse";
    // The collection that takes the writes opens after the keys' one, with the tray companion
    // started in between.
    ASSERT_TRUE(PumpUntil([&] { return opened("3"); }, 30000));
    HWND companion = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (companion = FindTitled(names::kNotifyHostWindowTitle)) != nullptr; }, 30000));
    EXPECT_EQ(Lower(ImageOf(ProcessOf(companion))), Lower(Installed(names::kNotifyHostExe)));

    mouse.Run(L"clear-log");
    const CommandResult applied = RunCommand(L"\"" + Installed(L"tern7ctl.exe") + L"\" apply");
    EXPECT_EQ(applied.ExitCode, 0u) << applied.Output;
    const std::vector<LoggedWrite> writes = mouse.Writes();
    EXPECT_EQ(writes.size(), 27u) << "the profile and the global settings went to the mouse";
    EXPECT_TRUE(std::all_of(writes.begin(), writes.end(), [](const LoggedWrite& write) { return write.Ok; }));

    ASSERT_EQ(mouse.Run(L"detach").ExitCode, 0u);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(companion); }, 10000)) << "the tray companion went with the mouse";
}

}  // namespace
