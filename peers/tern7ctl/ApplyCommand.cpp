#include <windows.h>

#include <functional>
#include <optional>

#include "AgentCommands.h"
#include "AgentReplies.h"
#include "ConsoleOutput.h"
#include "ExitCodes.h"
#include "ProgramNames.h"
#include "SettingsToolContract.h"
#include "SettingsToolWindow.h"

namespace {

int Print(const ApplyReport& report) {
    PrintLine(report.Words);
    return report.ExitCode;
}

// Dispatches this thread's messages until done() holds or the time is up.
void PumpMessagesUntil(const std::function<bool()>& done, ULONGLONG timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
            continue;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return;
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

}  // namespace

int ApplySettings(unsigned long answerTimeoutMs) {
    const HWND agent = FindWindowW(nullptr, names::kAgentWindowTitle);
    if (!agent) return Print(NoAgentReport());
    // The agent answers the first window it finds with the tool's title.
    if (FindWindowW(nullptr, names::kSettingsToolWindowTitle))
        PrintError(L"tern7ctl: another settings tool window is open; the answer may go to it");

    std::optional<ApplyReport> answer;
    bool closed = false;
    CSettingsToolWindow window;
    const bool created = window.Create([&](UINT message, WPARAM, LPARAM lParam) {
        if (message == settings_tool::kMsgApplyDone)
            answer = ReportForApplyResult(lParam);
        else if (message == WM_CLOSE)
            closed = true;  // the agent is going away
    });
    if (!created) {
        PrintError(L"tern7ctl: could not create the settings tool's window");
        return kExitFailed;
    }
    if (!PostMessageW(agent, settings_tool::kMsgApplySettings, 0, 0)) return Print(NoAgentReport());
    PumpMessagesUntil([&] { return answer.has_value() || closed; }, answerTimeoutMs);
    return Print(answer.value_or(NoAnswerReport()));
}
