#pragma once
// The tray companion's hidden window: it owns the notification icon, answers the icon's
// mouse messages and the menu's commands, and opens the settings tool.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "Handles.h"
#include "MessageMap.h"
#include "Wnd.h"

class CNotifyHost : public CWnd {
public:
    CNotifyHost() = default;
    ~CNotifyHost() override;

    // The never-shown popup window that other programs find by its title.
    bool CreateHiddenWindow();

    void AddNotifyIcon();
    void RemoveNotifyIcon();
    // Brings the settings tool's window to the front, or starts the tool when it has none.
    void OpenSettingsTool();

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    LRESULT OnDestroy(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayCallback(WPARAM wParam, LPARAM lParam);

    // The icon's mouse messages.
    LRESULT OnIconLeftButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnIconDoubleClick(WPARAM wParam, LPARAM lParam);
    LRESULT OnIconRightButtonDown(WPARAM wParam, LPARAM lParam);

    void ReadMenuTexts();
    void ShowPopupMenu();
    // The last active popup owned by this window, or the window itself.
    HWND LastActivePopup() const;

    static const MessageMapEntry<CNotifyHost> kMessageMap[];
    static const MessageMapEntry<CNotifyHost> kTrayCallbackMap[];

    NOTIFYICONDATAW m_nid{};
    std::wstring m_strExitItem;
    std::wstring m_strOpenItem;
    // The shell's copy of the program icon that m_nid shows.
    UniqueIcon trayIcon_;
};
