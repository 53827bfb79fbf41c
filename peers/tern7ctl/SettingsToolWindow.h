#pragma once
// The settings tool's window as the agent finds it: top-level, hidden, with the tool's
// exact title. (A message-only window would be found by title under Wine but not on
// Windows.) Each message the agent posts to the tool goes to the listener.
#include <windows.h>

#include <functional>

#include "Wnd.h"

class CSettingsToolWindow : public CWnd {
public:
    // Called with the agent's notices and with WM_CLOSE, which then destroys the window.
    using Listener = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;

    bool Create(Listener listener);

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    Listener listener_;
};
