#pragma once
// CWinApp: the application object. Run() calls InitInstance, runs the message loop while
// the main window lives, then calls ExitInstance, whose result is the exit code.
#include <windows.h>

class CWnd;

class CWinApp {
public:
    CWinApp() = default;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp() = default;

    int Run();

protected:
    // False ends the program at once (ExitInstance still runs).
    virtual bool InitInstance() = 0;
    virtual int ExitInstance() { return exitCode_; }
    // True when the message was handled here (dialog keys) and must not be dispatched.
    virtual bool PreTranslateMessage(MSG&) { return false; }

    // The window whose destruction ends the message loop.
    void SetMainWindow(CWnd& window);

private:
    int exitCode_ = 0;
};
