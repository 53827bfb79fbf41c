#pragma once
// The numbers and texts by which the shell, the menu and the skin reach the tray
// companion's window.
#include <windows.h>

// Sent by the shell when the mouse acts on the icon; lParam is the mouse message.
inline constexpr UINT WM_TRAY_CALLBACK = 0x7E9;
inline constexpr UINT kTrayIconId = 128;

// Menu commands.
inline constexpr UINT ID_TRAY_OPEN = 6001;
inline constexpr UINT ID_TRAY_EXIT = 6006;

inline constexpr wchar_t kTrayTooltip[] = L"Tern-7 Driver Setting";

// The menu texts: key "1" names the exit item, key "2" the open item.
inline constexpr wchar_t kTraySkinFile[] = L"skins\\string_notifyhost.ini";
inline constexpr wchar_t kTraySkinSection[] = L"TRAY_STRING";
inline constexpr wchar_t kTrayExitKey[] = L"1";
inline constexpr wchar_t kTrayOpenKey[] = L"2";
