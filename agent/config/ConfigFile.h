#pragma once
// config.ini: the settings image in the file that the settings tool edits. Reading goes
// through any IniReader, so that it runs without Windows too. Every write holds the
// ConfigLock from its read to its replacement of the file, and replaces the file whole
// (IniFile::Write); a failed one leaves the file as it was, is sent to the debugger
// output and returns the system's error code (0 when done; ERROR_TIMEOUT when another
// program held the lock, so that the caller tries again later).
#include <span>
#include <vector>

#include "IniFile.h"
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
// The same from one read of the whole file; a missing file loads as an empty one. A file
// that is there but cannot be read leaves the image as it was, with the last settings
// that could be read, and its error code is returned.
unsigned long LoadSettings(const IniFile& file, SettingsImage& image);

// Writes every field of the image.
unsigned long WriteConfigFile(const IniFile& file, const SettingsImage& image);

// The start-up write-back: loads the image again from the file as it stands now, so that
// what the settings tool saved since the first load is kept (validated like the rest),
// puts the current profile's pointer values into the user's registry, and writes the
// whole image back. When the file cannot be read, or another program holds the lock, the
// image, the registry and the file stay as they were.
unsigned long PersistSettings(const IniFile& file, SettingsImage& image);

// The keys the agent saves for the settings tool: whether a mouse is found and set up
// ("Plug" in "Setting"), the active profile ("Profile" in "Setting") and a group's CPI
// level ("DPI" in the group's section). The caller has stored the value in the image.
IniEntry PlugStateKey(int plugged);
IniEntry CurrentProfileKey(int index);
IniEntry GroupDpiKey(int level, int group);
// Writes such keys together; operation names the caller in a failure's line.
unsigned long SaveKeys(const IniFile& file, std::span<const IniEntry> keys, const wchar_t* operation);

// Sends a failed operation on the file to the debugger output.
void ReportConfigFailure(const wchar_t* operation, const IniFile& file, unsigned long error);
