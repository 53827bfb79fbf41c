#pragma once
// config.ini as text: the settings image read from any IniReader and turned into key
// writes, so that it runs without Windows too. ConfigFile.h reads and writes the file.
#include <vector>

#include "IniReader.h"
#include "IniWrites.h"
#include "SettingsImage.h"

// Reads every key of the file into the image; missing keys give -1 (Profile 0), missing
// KeyData blocks leave the image's block as it was.
void ReadConfigFile(const IniReader& file, SettingsImage& image);

// Every field of the image as key writes, in the order a file made from nothing shows.
// With the file's current text, a Path key too long to load is left as it is.
std::vector<IniEntry> ConfigEntries(const SettingsImage& image, const IniReader* current = nullptr);

// Reset, read and validate; the file is not written.
void LoadSettings(const IniReader& file, SettingsImage& image);

// The keys the agent saves for the settings tool: whether a mouse is found and set up
// ("Plug" in "Setting"), the active profile ("Profile" in "Setting") and a group's CPI
// level ("DPI" in the group's section). The caller has stored the value in the image.
IniEntry PlugStateKey(int plugged);
IniEntry CurrentProfileKey(int index);
IniEntry GroupDpiKey(int level, int group);
