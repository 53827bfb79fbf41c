#include "WinApp.h"

#include "Wnd.h"

void CWinApp::SetMainWindow(CWnd& window) { window.QuitWhenDestroyed(); }

int CWinApp::Run() {
    if (InitInstance()) {
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (PreTranslateMessage(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        exitCode_ = static_cast<int>(message.wParam);
    }
    return ExitInstance();
}
