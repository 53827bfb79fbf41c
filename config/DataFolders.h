#pragma once
// The per-user folder of config.ini and its first-run copy from the program folder.
#include <windows.h>

#include <string>

#include "ConfigLock.h"
#include "IniFile.h"

// Sets DataFolder: the user's roaming application-data folder + "Pelora Tern-7\", or the
// program folder when the shell cannot tell that folder or config.ini there would not fit
// the classic path limit. Ends with a backslash.
void ResolveDataFolders();

// On the first run (no config.ini in DataFolder) creates Profiles and Macros there and
// copies the default config.ini and macrolist.ini from the program folder, never
// overwriting a file the user has. False when another program held the config lock
// longer than lockWaitMs: nothing was copied, and the caller tries again later.
bool EnsureUserConfig(DWORD lockWaitMs = ConfigLock::kWindowWaitMs);

// The folder set by ResolveDataFolders.
const std::wstring& DataFolder();

// config.ini in DataFolder.
IniFile UserConfig();
