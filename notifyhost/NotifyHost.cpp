#include "NotifyHost.h"

#include <algorithm>
#include <string_view>

#include "IniFile.h"
#include "ModulePaths.h"
#include "PathText.h"
#include "ProgramNames.h"
#include "TrayIds.h"
#include "TrayMenu.h"

namespace {

// The full record, balloon icon included: 956 bytes in a 32-bit build, 976 in a 64-bit one.
static_assert(sizeof(NOTIFYICONDATAW) == (sizeof(void*) == 4 ? 956 : 976));

template <std::size_t Size>
void CopyText(std::wstring_view text, wchar_t (&destination)[Size]) {
    const std::size_t length = std::min(text.size(), Size - 1);
    std::copy_n(text.data(), length, destination);
    destination[length] = L'\0';
}

// Restores a minimised window and makes it the active, foreground one.
void BringToFront(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    SetActiveWindow(window);
}

}  // namespace

const MessageMapEntry<CNotifyHost> CNotifyHost::kMessageMap[] = {
    {WM_CREATE, &CNotifyHost::OnCreate},
    {WM_DESTROY, &CNotifyHost::OnDestroy},
    {WM_COMMAND, &CNotifyHost::OnCommand},
    {WM_TIMER, &CNotifyHost::OnTimer},
    {WM_TRAY_CALLBACK, &CNotifyHost::OnTrayCallback},
};

// Chosen by the mouse message in the callback's lParam.
const MessageMapEntry<CNotifyHost> CNotifyHost::kTrayCallbackMap[] = {
    {WM_LBUTTONDOWN, &CNotifyHost::OnIconLeftButtonDown},
    {WM_LBUTTONDBLCLK, &CNotifyHost::OnIconDoubleClick},
    {WM_RBUTTONDOWN, &CNotifyHost::OnIconRightButtonDown},
};

CNotifyHost::~CNotifyHost() {
    // Destroyed while this is still a CNotifyHost, so that WM_DESTROY removes the icon.
    DestroyWindow();
}

bool CNotifyHost::CreateHiddenWindow() {
    // WS_POPUP alone: the window is never shown.
    return CreateEx(0, names::kNotifyHostWindowTitle, WS_POPUP, 100, 100, 100, 100);
}

bool CNotifyHost::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return RouteMessage<CNotifyHost>(*this, kMessageMap, message, wParam, lParam, result);
}

LRESULT CNotifyHost::OnCreate(WPARAM, LPARAM) {
    ReadMenuTexts();
    AddNotifyIcon();
    return 0;
}

LRESULT CNotifyHost::OnDestroy(WPARAM wParam, LPARAM lParam) {
    RemoveNotifyIcon();
    return Default(WM_DESTROY, wParam, lParam);
}

LRESULT CNotifyHost::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
        case ID_TRAY_OPEN: OpenSettingsTool(); return 0;
        case ID_TRAY_EXIT:
            // The main window: its end ends the program.
            DestroyWindow();
            return 0;
        default: return Default(WM_COMMAND, wParam, lParam);
    }
}

LRESULT CNotifyHost::OnTimer(WPARAM wParam, LPARAM lParam) {
    // No timer of ours runs; whatever timer reaches this window is stopped.
    KillTimer(GetSafeHwnd(), wParam);
    return Default(WM_TIMER, wParam, lParam);
}

LRESULT CNotifyHost::OnTrayCallback(WPARAM wParam, LPARAM lParam) {
    const auto mouseMessage = static_cast<UINT>(lParam);
    if (static_cast<LPARAM>(mouseMessage) == lParam) {
        LRESULT ignored = 0;
        RouteMessage<CNotifyHost>(*this, kTrayCallbackMap, mouseMessage, wParam, lParam, ignored);
    }
    return 0;
}

LRESULT CNotifyHost::OnIconLeftButtonDown(WPARAM, LPARAM) {
    BringToFront(LastActivePopup());
    return 0;
}

LRESULT CNotifyHost::OnIconDoubleClick(WPARAM, LPARAM) {
    OpenSettingsTool();
    return 0;
}

LRESULT CNotifyHost::OnIconRightButtonDown(WPARAM, LPARAM) {
    ShowPopupMenu();
    return 0;
}

void CNotifyHost::ReadMenuTexts() {
    const IniFile skin(ProgramFolder() + kTraySkinFile);
    m_strExitItem = skin.ReadString(kTraySkinSection, kTrayExitKey, L"");
    m_strOpenItem = skin.ReadString(kTraySkinSection, kTrayOpenKey, L"");
}

void CNotifyHost::AddNotifyIcon() {
    const std::wstring program = ModuleFileName();
    SHFILEINFOW fileInfo{};
    SHGetFileInfoW(program.c_str(), FILE_ATTRIBUTE_NORMAL, &fileInfo, sizeof(fileInfo), SHGFI_ICON | SHGFI_SMALLICON);
    trayIcon_.reset(fileInfo.hIcon);

    m_nid = {};
    m_nid.cbSize = sizeof(m_nid);
    m_nid.hWnd = GetSafeHwnd();
    m_nid.uID = kTrayIconId;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = WM_TRAY_CALLBACK;
    m_nid.hIcon = trayIcon_.get();
    CopyText(kTrayTooltip, m_nid.szTip);
    Shell_NotifyIconW(NIM_ADD, &m_nid);
}

void CNotifyHost::RemoveNotifyIcon() { Shell_NotifyIconW(NIM_DELETE, &m_nid); }

void CNotifyHost::OpenSettingsTool() {
    if (const HWND tool = FindWindowW(nullptr, names::kSettingsToolWindowTitle)) {
        BringToFront(tool);
        return;
    }
    const std::wstring folder = ProgramFolder();
    // Without our own folder a bare file name would be looked for in the working folder
    // and along the path; start nothing rather than whatever is found there.
    if (folder.empty()) return;
    const std::wstring program = JoinPath(folder, names::kSettingsToolExe);
    ShellExecuteW(nullptr, L"open", program.c_str(), nullptr, nullptr, SW_SHOW);
}

void CNotifyHost::ShowPopupMenu() {
    // The menu closes on a click elsewhere only when its owner is in the foreground.
    SetForegroundWindow(LastActivePopup());
    const UniqueMenu menu = CreateTrayMenu(m_strOpenItem, m_strExitItem);
    TrackTrayMenu(menu.get(), GetSafeHwnd());
}

HWND CNotifyHost::LastActivePopup() const {
    const HWND popup = GetLastActivePopup(GetSafeHwnd());
    return popup ? popup : GetSafeHwnd();
}
