#pragma once
// The icon's popup menu: open the settings tool (the default item), a separator, exit.
#include <windows.h>

#include <string>

#include "Handles.h"

UniqueMenu CreateTrayMenu(const std::wstring& openText, const std::wstring& exitText);

// Shows the menu at the cursor until the user picks an item or clicks elsewhere; the
// chosen command reaches owner as WM_COMMAND.
void TrackTrayMenu(HMENU menu, HWND owner);
