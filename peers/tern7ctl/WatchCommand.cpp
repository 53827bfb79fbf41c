#include <windows.h>

#include <atomic>

#include "AgentCommands.h"
#include "AgentReplies.h"
#include "ConsoleOutput.h"
#include "ExitCodes.h"
#include "SettingsToolWindow.h"

namespace {

// The console's control handler gets no context of its own, so the window it closes is
// kept here for as long as the watch runs.
std::atomic<HWND> consoleStopTarget{nullptr};

BOOL WINAPI OnConsoleControl(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT: PostMessageW(consoleStopTarget.load(), WM_CLOSE, 0, 0); return TRUE;
        default: return FALSE;
    }
}

// Ctrl+C, Ctrl+Break and closing the console close the window instead of ending the
// process in the middle of a line.
class ConsoleStopRoute {
public:
    explicit ConsoleStopRoute(HWND window) {
        consoleStopTarget = window;
        SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
    }
    ~ConsoleStopRoute() {
        SetConsoleCtrlHandler(&OnConsoleControl, FALSE);
        consoleStopTarget = nullptr;
    }
    ConsoleStopRoute(const ConsoleStopRoute&) = delete;
    ConsoleStopRoute& operator=(const ConsoleStopRoute&) = delete;
};

void PrintNotice(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        PrintLine(L"closed");
    } else if (const auto line = DescribeAgentMessage(message, wParam, lParam)) {
        PrintLine(*line);
    }
}

}  // namespace

int WatchAgent() {
    CSettingsToolWindow window;
    window.QuitWhenDestroyed();
    if (!window.Create(&PrintNotice)) {
        PrintError(L"tern7ctl: could not create the settings tool's window");
        return kExitFailed;
    }
    ConsoleStopRoute stopRoute(window.GetSafeHwnd());
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return kExitOk;
}
