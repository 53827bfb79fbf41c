#pragma once
// config.ini: the settings image in the file that the settings tool edits. Every write
// holds the ConfigLock from its read to its replacement of the file, and replaces the file
// whole (IniFile::Write); a failed one leaves the file as it was, is sent to the debugger
// output and returns the system's error code (0 when done; ERROR_TIMEOUT when another
// program held the lock, so that the caller tries again later).
#include <functional>
#include <span>

#include "ConfigText.h"
#include "IniFile.h"

// Reset, read and validate from one read of the whole file; a missing file loads as an
// empty one. A file that is there but cannot be read leaves the image as it was, with the
// last settings that could be read, and its error code is returned.
unsigned long LoadSettings(const IniFile& file, SettingsImage& image);

// Writes every field of the image.
unsigned long WriteConfigFile(const IniFile& file, const SettingsImage& image);

// The start-up write-back: loads the image again from the file as it stands now, so that
// what the settings tool saved since the first load is kept (validated like the rest),
// hands it to whenLoaded (where the agent puts the pointer values into the registry), and
// writes the whole image back. When the file cannot be read, or another program holds
// the lock, nothing of it happens.
unsigned long PersistSettings(const IniFile& file, SettingsImage& image,
                              const std::function<void(const SettingsImage&)>& whenLoaded = {});

// Writes keys such as ConfigText.h names together; operation names the caller in a
// failure's line.
unsigned long SaveKeys(const IniFile& file, std::span<const IniEntry> keys, const wchar_t* operation);

// Sends a failed operation on the file to the debugger output.
void ReportConfigFailure(const wchar_t* operation, const IniFile& file, unsigned long error);
