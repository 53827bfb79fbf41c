#include "TrayMenu.h"

#include "TrayIds.h"

UniqueMenu CreateTrayMenu(const std::wstring& openText, const std::wstring& exitText) {
    UniqueMenu menu(CreatePopupMenu());
    AppendMenuW(menu.get(), MF_STRING, ID_TRAY_OPEN, openText.c_str());
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, ID_TRAY_EXIT, exitText.c_str());
    SetMenuDefaultItem(menu.get(), ID_TRAY_OPEN, FALSE);
    return menu;
}

void TrackTrayMenu(HMENU menu, HWND owner) {
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    // A message after the menu loop, so that the next click on the icon opens the menu
    // again instead of only closing the old one.
    PostMessageW(owner, WM_NULL, 0, 0);
}
