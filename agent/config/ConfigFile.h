#pragma once
// config.ini: the settings image in the file that the settings tool edits. Reading goes
// through any IniReader, so that it runs without Windows too; writing needs the file.
#include "IniFile.h"
#include "IniReader.h"
#include "SettingsImage.h"

// Reads every key of the file into the image; missing keys give -1 (Profile 0), missing
// KeyData blocks leave the image's block as it was.
void ReadConfigFile(const IniReader& file, SettingsImage& image);

// Writes every field, one key at a time, in the order a file made from nothing shows.
void WriteConfigFile(const IniFile& file, const SettingsImage& image);

// Reset, read and validate; the file is not written.
void LoadSettings(const IniReader& file, SettingsImage& image);

// The current profile's pointer values into the user's registry, then the whole image.
void PersistSettings(const IniFile& file, const SettingsImage& image);

// Whether a mouse is found and set up, for the settings tool ("Plug" in "Setting").
void SavePlugState(const IniFile& file, int plugged);
// "Profile" in "Setting"; the caller has stored the index in the image.
void SaveCurrentProfile(const IniFile& file, int index);
// "DPI" in the section of the group; the caller has stored the level in the image.
void SaveGroupDpi(const IniFile& file, int level, int group);
