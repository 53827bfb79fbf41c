#pragma once
// Setwell.exe: one settings window a user; a second start brings the first to the front.
#include <memory>

#include "Handles.h"
#include "SettingsWindow.h"
#include "WinApp.h"

class CSetwellApp : public CWinApp {
protected:
    bool InitInstance() override;
    // Tab, mnemonics, Enter and Escape of the window.
    bool PreTranslateMessage(MSG& message) override;

private:
    UniqueKernelHandle instanceMutex_;
    UniqueHook postedNotifyFilter_;
    std::unique_ptr<CSettingsWindow> window_;
};
