#include "NotifyHostInstall.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include "ProgramNames.h"
#include "TrayIds.h"

std::wstring StandInFolder() { return HostFolder(TERN7_STANDIN_DIR); }

NotifyHostInstall::NotifyHostInstall(bool withSkin) {
    EXPECT_TRUE(folder_.Add(names::kNotifyHostExe));
    EXPECT_TRUE(folder_.Add(names::kSettingsToolExe, StandInFolder()));
    EXPECT_TRUE(!withSkin || folder_.Add(L"skins"));
}

NotifyHostInstall::~NotifyHostInstall() {
    // A settings tool started by the companion runs outside the test's job.
    CloseSettingsTools();
}

HWND NotifyHostInstall::Start(ChildProcess& process) const {
    const std::wstring program = folder_.File(names::kNotifyHostExe);
    if (!process.Start(L"\"" + program + L"\"", folder_.Path())) return nullptr;
    return WaitForAnsweringWindow(process.Id(), names::kNotifyHostWindowTitle, 10000);
}

std::vector<std::string> NotifyHostInstall::SettingsToolLaunches() const {
    std::vector<std::string> launches;
    for (const std::string& line : ReadLines(folder_.File(L"Setwell.log"))) {
        if (line.rfind("launch", 0) == 0) launches.push_back(line);
    }
    return launches;
}

HWND WaitForSettingsTool(DWORD timeoutMs) {
    HWND tool = nullptr;
    PumpUntil([&] { return (tool = FindWindowW(nullptr, names::kSettingsToolWindowTitle)) != nullptr; }, timeoutMs);
    return tool;
}

void CloseSettingsTools() {
    PumpUntil(
        [] {
            const HWND tool = FindWindowW(nullptr, names::kSettingsToolWindowTitle);
            if (tool) PostMessageW(tool, WM_CLOSE, 0, 0);
            return tool == nullptr;
        },
        10000);
}

bool IconShown(HWND window) {
    // Modifying nothing succeeds exactly when the shell knows the icon.
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof(icon);
    icon.hWnd = window;
    icon.uID = kTrayIconId;
    return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE;
}

void PostIconMouseMessage(HWND window, UINT mouseMessage) {
    PostMessageW(window, WM_TRAY_CALLBACK, kTrayIconId, mouseMessage);
}

HWND OpenMenuOf(DWORD processId) {
    struct Search {
        DWORD ProcessId;
        HWND Found;
    } search{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            wchar_t className[16] = {};
            GetClassNameW(window, className, 16);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.ProcessId && IsWindowVisible(window) && std::wstring(className) == L"#32768") {
                s.Found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND OpenIconMenu(HWND window, DWORD processId) {
    PostIconMouseMessage(window, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    PumpUntil([&] { return (menu = OpenMenuOf(processId)) != nullptr; }, 10000);
    return menu;
}

void ChooseMenuItem(HWND menu, int steps) {
    for (int i = 0; i < steps; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
}

void CancelMenu(HWND menu) { PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0); }

bool MenuClosed(HWND menu) {
    return PumpUntil([&] { return !IsWindow(menu) || !IsWindowVisible(menu); }, 10000);
}
