// notifyhost.exe run as the agent runs it, in an install folder of the test's own beside
// a stand-in settings tool, and driven from outside as the shell and the user drive it.
#include <gtest/gtest.h>

#include "NotifyHostInstall.h"
#include "ProgramNames.h"
#include "TrayIds.h"

namespace {

bool MutexHeld() {
    UniqueKernelHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, names::kNotifyHostMutex));
    return static_cast<bool>(mutex);
}

// Chooses Open settings from the icon's menu: the settings window, or null.
HWND ChooseOpenSettings(HWND window, DWORD hostId) {
    const HWND menu = OpenIconMenu(window, hostId);
    if (!menu) {
        ADD_FAILURE() << "the icon's menu did not open";
        return nullptr;
    }
    ChooseMenuItem(menu, 1);
    return WaitForSettingsTool();
}

// Chooses the menu's last item, past the separator; true once the companion has ended.
bool ChooseExit(HWND window, ChildProcess& host) {
    const HWND menu = OpenIconMenu(window, host.Id());
    if (!menu) {
        ADD_FAILURE() << "the icon's menu did not open";
        return false;
    }
    ChooseMenuItem(menu, 2);
    return host.WaitForExit(5000);
}

// Opens the icon's menu and closes it again. Posted messages are handled in order, so
// once the menu is open every message posted before it was handled, and any settings
// tool one of them started runs by then.
bool HandledSoFar(HWND window, DWORD hostId) {
    const HWND menu = OpenIconMenu(window, hostId);
    if (!menu) return false;
    CancelMenu(menu);
    return MenuClosed(menu);
}

TEST(NotifyHostProcess, ShowsItsIconFromAHiddenWindowAndASecondInstanceEndsAtOnce) {
    NotifyHostInstall install;
    ChildProcess first;
    const HWND window = install.Start(first);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowsOfProcess(first.Id(), names::kNotifyHostWindowTitle).size(), 1u);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_POPUP);
    EXPECT_TRUE(IconShown(window));

    ChildProcess second;
    ASSERT_TRUE(second.Start(L"\"" + install.Folder().File(names::kNotifyHostExe) + L"\"", install.Folder().Path()));
    ASSERT_TRUE(second.WaitForExit(5000));
    EXPECT_TRUE(WindowsOfProcess(second.Id(), names::kNotifyHostWindowTitle).empty());

    EXPECT_EQ(WindowsOfProcess(first.Id(), names::kNotifyHostWindowTitle).size(), 1u);
    EXPECT_TRUE(IconShown(window)) << "the first instance keeps its icon";
    EXPECT_TRUE(MutexHeld());
    EXPECT_EQ(first.ExitCode(), STILL_ACTIVE);
}

TEST(NotifyHostProcess, CloseFromOutsideRemovesTheIconAndEnds) {
    NotifyHostInstall install;
    ChildProcess host;
    const HWND window = install.Start(host);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(IconShown(window));

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(host.WaitForExit(5000));
    EXPECT_FALSE(IconShown(window));
    EXPECT_FALSE(MutexHeld());
}

TEST(NotifyHostProcess, TheMenuOpensTheSettingsToolFromItsFirstItemAndEndsFromItsLast) {
    NotifyHostInstall install;
    ChildProcess host;
    const HWND window = install.Start(host);
    ASSERT_NE(window, nullptr);

    // Escape closes the menu without a command.
    HWND menu = OpenIconMenu(window, host.Id());
    ASSERT_NE(menu, nullptr);
    CancelMenu(menu);
    ASSERT_TRUE(MenuClosed(menu));
    ASSERT_TRUE(HandledSoFar(window, host.Id()));
    EXPECT_EQ(host.ExitCode(), STILL_ACTIVE);
    EXPECT_EQ(ChildProcessesNamed(names::kSettingsToolExe, host.Id()), 0u);
    EXPECT_TRUE(install.SettingsToolLaunches().empty());

    // The first item starts Setwell.exe from the program folder, with nothing passed.
    ASSERT_NE(ChooseOpenSettings(window, host.Id()), nullptr);
    EXPECT_EQ(install.SettingsToolLaunches(), std::vector<std::string>{"launch args=[] show=5"});

    // The last item ends the program and takes the icon along.
    ASSERT_TRUE(ChooseExit(window, host));
    EXPECT_FALSE(IconShown(window));
    EXPECT_EQ(install.SettingsToolLaunches().size(), 1u);
}

TEST(NotifyHostProcess, ADoubleClickStartsTheSettingsToolOnceAndThenBringsItsWindowBack) {
    NotifyHostInstall install;
    ChildProcess host;
    const HWND window = install.Start(host);
    ASSERT_NE(window, nullptr);

    // A double click arrives as a button press followed by the double click.
    PostIconMouseMessage(window, WM_LBUTTONDOWN);
    PostIconMouseMessage(window, WM_LBUTTONDBLCLK);
    const HWND tool = WaitForSettingsTool();
    ASSERT_NE(tool, nullptr);

    // A running tool, minimised, is restored and brought to the front, by a double
    // click and by the menu's command alike; nothing more is started.
    for (const bool byMenuCommand : {false, true}) {
        ShowWindow(tool, SW_MINIMIZE);
        ASSERT_TRUE(PumpUntil([&] { return IsIconic(tool) != FALSE; }, 5000));
        if (byMenuCommand) {
            PostMessageW(window, WM_COMMAND, ID_TRAY_OPEN, 0);
        } else {
            PostIconMouseMessage(window, WM_LBUTTONDOWN);
            PostIconMouseMessage(window, WM_LBUTTONDBLCLK);
        }
        EXPECT_TRUE(PumpUntil([&] { return !IsIconic(tool) && GetForegroundWindow() == tool; }, 5000)) << byMenuCommand;
    }
    ASSERT_TRUE(HandledSoFar(window, host.Id()));
    EXPECT_EQ(ChildProcessesNamed(names::kSettingsToolExe, host.Id()), 1u);
    EXPECT_EQ(install.SettingsToolLaunches().size(), 1u);
    EXPECT_EQ(host.ExitCode(), STILL_ACTIVE);
}

TEST(NotifyHostProcess, WithoutTheSkinStringFileBothMenuItemsStillWork) {
    NotifyHostInstall install(false);
    ChildProcess host;
    const HWND window = install.Start(host);
    ASSERT_NE(window, nullptr);

    EXPECT_NE(ChooseOpenSettings(window, host.Id()), nullptr);
    EXPECT_TRUE(ChooseExit(window, host));
}

TEST(NotifyHostProcess, OtherMouseMessagesOnTheIconDoNothing) {
    NotifyHostInstall install;
    ChildProcess host;
    const HWND window = install.Start(host);
    ASSERT_NE(window, nullptr);

    // Release and move messages, a right double click, and a press with extra bits set.
    for (const LPARAM message : {LPARAM{WM_MOUSEMOVE}, LPARAM{WM_LBUTTONUP}, LPARAM{WM_RBUTTONUP},
                                 LPARAM{WM_RBUTTONDBLCLK}, LPARAM{WM_CONTEXTMENU}, (LPARAM{1} << 16) | WM_RBUTTONDOWN})
        PostMessageW(window, WM_TRAY_CALLBACK, kTrayIconId, message);
    EXPECT_EQ(ChildProcessesNamed(names::kSettingsToolExe, host.Id()), 0u);
    // A double click after them as the barrier: once its tool is up, they were all handled,
    // and a menu one of them opened would still be open.
    PostIconMouseMessage(window, WM_LBUTTONDOWN);
    PostIconMouseMessage(window, WM_LBUTTONDBLCLK);
    ASSERT_NE(WaitForSettingsTool(), nullptr);
    EXPECT_EQ(OpenMenuOf(host.Id()), nullptr);
    EXPECT_EQ(install.SettingsToolLaunches().size(), 1u);
    EXPECT_EQ(ChildProcessesNamed(names::kSettingsToolExe, host.Id()), 1u);
    EXPECT_EQ(host.ExitCode(), STILL_ACTIVE);
}

}  // namespace

TEST(NotifyHostProcess, OpenSettingsStartsTheShippedSettingsWindowFromTheInstallFolder) {
    NotifyHostInstall install;
    ASSERT_TRUE(install.Folder().Add(names::kSettingsToolExe));
    const std::wstring setwell = install.Folder().File(names::kSettingsToolExe);
    ScratchFolder appData;
    AppDataRedirect redirect(appData.Path());
    ChildProcess host;
    const HWND window = install.Start(host);
    ASSERT_NE(window, nullptr);

    const HWND tool = ChooseOpenSettings(window, host.Id());
    ASSERT_NE(tool, nullptr);

    DWORD toolId = 0;
    GetWindowThreadProcessId(tool, &toolId);
    UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, toolId));
    ASSERT_TRUE(process);
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    ASSERT_TRUE(QueryFullProcessImageNameW(process.get(), 0, image, &size));
    EXPECT_EQ(CompareStringOrdinal(image, -1, setwell.c_str(), -1, TRUE), CSTR_EQUAL);
    // The window has its title from its creation on and shows once its controls are filled.
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(tool) != FALSE; }, 10000));
    EXPECT_NE(GetWindow(tool, GW_CHILD), nullptr) << "the settings controls";
    EXPECT_TRUE(install.SettingsToolLaunches().empty()) << "not the stand-in";

    CloseSettingsTools();
    EXPECT_TRUE(ChooseExit(window, host));
}
