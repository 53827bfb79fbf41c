#pragma once
// show, get and set: config.ini in the user's data folder, read and written through the
// same profile functions the agent uses. Each returns the program's exit code.
#include <string>

int ShowSettings();
int GetSetting(const std::wstring& section, const std::wstring& key);
int SetSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value);
