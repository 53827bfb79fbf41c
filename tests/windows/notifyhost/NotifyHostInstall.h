#pragma once
// notifyhost.exe as a user installs it, in a scratch folder of the test's own, and the
// ways a test reaches it from outside: its window, its icon and its popup menu.
#include <windows.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "TestProcess.h"

// The folder of the settings tool stand-in.
std::wstring StandInFolder();

// An install folder with notifyhost.exe and the settings tool stand-in (Setwell.exe),
// optionally with the skins.
class NotifyHostInstall {
public:
    explicit NotifyHostInstall(bool withSkin = true);
    ~NotifyHostInstall();

    const ProgramFolder& Folder() const { return folder_; }

    // Starts notifyhost.exe and waits until its window answers; null when it never did.
    HWND Start(ChildProcess& process) const;

    // The lines the settings tool stand-in wrote, one per start.
    std::vector<std::string> SettingsToolLaunches() const;

private:
    ProgramFolder folder_;
};

// The window of the running settings tool stand-in, waiting up to timeoutMs for it.
HWND WaitForSettingsTool(DWORD timeoutMs = 10000);
// Posts WM_CLOSE to every window titled like the settings tool and waits until they are gone.
void CloseSettingsTools();

// True while the shell shows the companion's icon for window.
bool IconShown(HWND window);

// Posts the shell's icon callback with a mouse message to the companion's window.
void PostIconMouseMessage(HWND window, UINT mouseMessage);

// The open popup menu of processId, or null.
HWND OpenMenuOf(DWORD processId);
// Right-clicks the icon and waits for the popup menu of processId; null when none opened.
HWND OpenIconMenu(HWND window, DWORD processId);
// Moves the highlight down steps times through the open menu, then presses Enter.
void ChooseMenuItem(HWND menu, int steps);
void CancelMenu(HWND menu);
// Waits until the popup menu is closed.
bool MenuClosed(HWND menu);
