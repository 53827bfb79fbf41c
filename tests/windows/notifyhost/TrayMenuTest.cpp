// The icon's menu as built in this process, where its items can be read (menus are not
// readable from another process under Wine).
#include <gtest/gtest.h>

#include "TrayIds.h"
#include "TrayMenu.h"

namespace {

std::wstring ItemText(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

bool IsSeparator(HMENU menu, UINT position) {
    return (GetMenuState(menu, position, MF_BYPOSITION) & MF_SEPARATOR) != 0;
}

TEST(TrayMenu, OpenComesFirstAsTheDefaultThenASeparatorThenExit) {
    const UniqueMenu menu = CreateTrayMenu(L"Open settings", L"Exit");
    ASSERT_EQ(GetMenuItemCount(menu.get()), 3);
    EXPECT_EQ(GetMenuItemID(menu.get(), 0), ID_TRAY_OPEN);
    EXPECT_EQ(ItemText(menu.get(), 0), L"Open settings");
    EXPECT_TRUE(IsSeparator(menu.get(), 1));
    EXPECT_EQ(GetMenuItemID(menu.get(), 2), ID_TRAY_EXIT);
    EXPECT_EQ(ItemText(menu.get(), 2), L"Exit");
    EXPECT_EQ(GetMenuDefaultItem(menu.get(), FALSE, 0), ID_TRAY_OPEN);
}

TEST(TrayMenu, EmptyTextsStillGiveTwoCommandItems) {
    const UniqueMenu menu = CreateTrayMenu(L"", L"");
    ASSERT_EQ(GetMenuItemCount(menu.get()), 3);
    for (const UINT position : {0u, 2u}) {
        EXPECT_FALSE(IsSeparator(menu.get(), position)) << position;
        EXPECT_EQ(ItemText(menu.get(), position), L"") << position;
    }
    EXPECT_EQ(GetMenuItemID(menu.get(), 0), ID_TRAY_OPEN);
    EXPECT_EQ(GetMenuItemID(menu.get(), 2), ID_TRAY_EXIT);
    EXPECT_EQ(GetMenuDefaultItem(menu.get(), FALSE, 0), ID_TRAY_OPEN);
}

}  // namespace
