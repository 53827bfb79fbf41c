#include "SetwellApp.h"

#include <commctrl.h>

#include "ConfigFile.h"
#include "DataFolders.h"
#include "ProgramNames.h"
#include "SingleInstance.h"

namespace {

// The first copy may still be building its window; it shows within moments.
HWND WaitForFirstWindow() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (const HWND window = FindWindowW(nullptr, names::kSettingsToolWindowTitle)) return window;
        Sleep(100);
    }
    return nullptr;
}

void BringToFront(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
}

// Controls send their notifications; a posted one comes from another program, with a
// pointer that points nowhere in this one. Seen here, it never reaches a window, in this
// loop or in the modal loop of a message box or file dialog.
LRESULT CALLBACK DropPostedNotifications(int code, WPARAM removal, LPARAM lParam) {
    if (code == HC_ACTION) {
        MSG& message = *reinterpret_cast<MSG*>(lParam);
        if (message.message == WM_NOTIFY) message.message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

bool CSetwellApp::InitInstance() {
    if (!TakeSingleInstance(instanceMutex_, names::kSettingsToolMutex)) {
        if (const HWND first = WaitForFirstWindow()) BringToFront(first);
        return false;
    }

    postedNotifyFilter_.reset(
        SetWindowsHookExW(WH_GETMESSAGE, &DropPostedNotifications, nullptr, GetCurrentThreadId()));
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    // The agent's own folder lookup and first-run copy, so both find the same file.
    ResolveDataFolders();
    EnsureUserConfig();
    SettingsImage loaded{};
    LoadSettings(UserConfig(), loaded);

    window_ = std::make_unique<CSettingsWindow>(loaded);
    if (!window_->Create()) return false;
    SetMainWindow(*window_);
    SetForegroundWindow(window_->GetSafeHwnd());
    return true;
}

bool CSetwellApp::PreTranslateMessage(MSG& message) {
    const HWND window = window_ ? window_->GetSafeHwnd() : nullptr;
    return window && (window_->TranslatePageKeys(message) || IsDialogMessageW(window, &message));
}
