// What the setup closes before it replaces the files: only our programs, run from the
// install folder, and not other programs' windows that carry the same titles; and what
// it does when one of ours will not close because it is asking the user something.
#include <string>

#include "SetupHarness.h"
#include "SetwellDriver.h"
#include "SetwellIds.h"
#include "TestWindow.h"

namespace {

class SetupClosingPrograms : public SetupHarness {};

// A window that never closes, as File Explorer showing a folder of that name stays open.
TestWindow::Options RefusingToClose() {
    return {.OnMessage = [](HWND, UINT message, WPARAM, LPARAM, LRESULT&) { return message == WM_CLOSE; }};
}

// The wizard's main button (Install, Next, Finish) once it is enabled and reads text.
bool ClickWizardButton(HWND wizard, const std::wstring& text) {
    const HWND button = GetDlgItem(wizard, IDOK);
    const bool ready = PumpUntil(
        [&] {
            wchar_t caption[64] = {};
            GetWindowTextW(button, caption, 64);
            return IsWindowEnabled(button) && caption == text;
        },
        kSetupTimeoutMs);
    return ready && PostMessageW(wizard, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// The setup's message box with a Retry button, or null if none came in time.
HWND WaitForRetryQuestion(DWORD setupProcess) {
    HWND question = nullptr;
    PumpUntil(
        [&] {
            for (const HWND window : WindowsOfProcess(setupProcess, kSetupTitle)) {
                if (GetDlgItem(window, IDRETRY)) question = window;
            }
            return question != nullptr;
        },
        kSetupTimeoutMs);
    return question;
}

std::wstring MessageText(HWND messageBox) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(messageBox, 0xFFFF, text, 1024);  // the message's static control
    return text;
}

TEST_F(SetupClosingPrograms, ClosesOnlyItsOwnProgramsNotOthersTitledLikeThem) {
    ASSERT_EQ(RunSetup(), 0u);
    // The agent, when it ends, closes windows with these titles itself: it is ended first,
    // so that what follows is the setup's doing alone.
    const HWND agent = WaitForAgent();
    ASSERT_TRUE(agent);
    const UniqueKernelHandle agentProcess(OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(agent)));
    PostMessageW(agent, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(agentProcess.get(), 15000), WAIT_OBJECT_0);
    ChildProcess tray;
    ASSERT_TRUE(tray.Start(L"\"" + Installed(names::kNotifyHostExe) + L"\"", InstallFolder(), userRights_.get()));
    ASSERT_TRUE(WaitForAnsweringWindow(tray.Id(), names::kNotifyHostWindowTitle, 15000));
    // Another program with the settings window's title and file name, from another folder,
    // that would close if told; and, beside the tray companion's own, a window with its
    // title that would not.
    const ScratchFolder elsewhere;
    const std::wstring lookalikeFile = elsewhere.File(names::kSettingsToolExe);
    ASSERT_TRUE(
        CopyFileW((HostFolder(TERN7_STANDIN_DIR) + names::kSettingsToolExe).c_str(), lookalikeFile.c_str(), FALSE));
    ChildProcess lookalike;
    ASSERT_TRUE(lookalike.Start(L"\"" + lookalikeFile + L"\"", elsewhere.Path()));
    ASSERT_TRUE(WaitForAnsweringWindow(lookalike.Id(), names::kSettingsToolWindowTitle, 15000));
    const TestWindow stubborn(names::kNotifyHostWindowTitle, RefusingToClose());
    ASSERT_TRUE(stubborn.Handle());

    EXPECT_EQ(RunSetup(), 0u);
    EXPECT_TRUE(tray.WaitForExit(0)) << "the installed tray companion was not closed";
    EXPECT_FALSE(lookalike.WaitForExit(0)) << "another program with our title was closed";
    EXPECT_TRUE(IsWindow(stubborn.Handle()));
    EXPECT_TRUE(WaitForAgent()) << "the agent was not started";
}

// The settings window asks whether to apply unapplied changes before it closes.
TEST_F(SetupClosingPrograms, ASettingsWindowAskingAboutItsChangesStopsASilentSetupAndTheWizardOffersRetry) {
    ASSERT_EQ(RunSetup(), 0u);
    ASSERT_TRUE(WaitForAgent());
    SetwellDriver settings;
    ASSERT_TRUE(settings.Start(InstallFolder() + L"\\", userRights_.get()));
    settings.SetChecked(IDC_TRAY_ENABLED,
                        SendMessageW(settings.Item(IDC_TRAY_ENABLED), BM_GETCHECK, 0, 0) != BST_CHECKED);
    WriteFileBytes(Installed(names::kOsdExe), "old");

    // Silently: the documented exit code once the wait is over, with nothing changed.
    EXPECT_EQ(RunSetup(), kExitProgramStillRunning);
    EXPECT_TRUE(Holds(Installed(names::kOsdExe), "old")) << "files were replaced";
    HWND settingsQuestion = settings.WaitForQuestion();
    ASSERT_TRUE(settingsQuestion);
    PostMessageW(settingsQuestion, WM_COMMAND, IDCANCEL, 0);  // keep the window and its changes
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(settingsQuestion); }, 10000));

    // The wizard says which window to close and waits for the user.
    ChildProcess& wizard = StartWizard();
    const HWND wizardWindow = WaitForWindowOf(wizard.Id(), kSetupTitle, 15000);
    ASSERT_TRUE(wizardWindow);
    ASSERT_TRUE(ClickWizardButton(wizardWindow, L"&Install"));
    const HWND retry = WaitForRetryQuestion(wizard.Id());
    ASSERT_TRUE(retry) << "no Retry offered";
    EXPECT_NE(MessageText(retry).find(names::kSettingsToolWindowTitle), std::wstring::npos)
        << "the window is not named";
    EXPECT_TRUE(GetDlgItem(retry, IDCANCEL));
    EXPECT_TRUE(Holds(Installed(names::kOsdExe), "old"));

    // The user closes it without applying, then clicks Retry: the setup goes on.
    settingsQuestion = settings.WaitForQuestion();
    ASSERT_TRUE(settingsQuestion);
    PostMessageW(settingsQuestion, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(settings.WaitForExit());
    PostMessageW(retry, WM_COMMAND, IDRETRY, 0);
    ASSERT_TRUE(ClickWizardButton(wizardWindow, L"&Next >"));
    ASSERT_TRUE(ClickWizardButton(wizardWindow, L"&Finish"));
    ASSERT_TRUE(wizard.WaitForExit(kSetupTimeoutMs));
    EXPECT_EQ(wizard.ExitCode(), 0u);
    EXPECT_TRUE(SameBytes(Installed(names::kOsdExe), DistFolder() + names::kOsdExe));
}

}  // namespace
