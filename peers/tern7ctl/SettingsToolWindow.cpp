#include "SettingsToolWindow.h"

#include "ProgramNames.h"
#include "SettingsToolContract.h"

bool CSettingsToolWindow::Create(Listener listener) {
    listener_ = std::move(listener);
    return CreateEx(WS_EX_TOOLWINDOW, names::kSettingsToolWindowTitle, WS_POPUP, 0, 0, 0, 0);
}

bool CSettingsToolWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case settings_tool::kMsgProfileChanged:
        case settings_tool::kMsgCpiChanged:
        case settings_tool::kMsgApplyDone:
            listener_(message, wParam, lParam);
            result = 0;
            return true;
        case WM_CLOSE: listener_(message, wParam, lParam); return false;
        default: return false;
    }
}
