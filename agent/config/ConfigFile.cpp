#include "ConfigFile.h"

#include <windows.h>

#include "ConfigKeys.h"
#include "ConfigLock.h"
#include "PointerRegistry.h"
#include "SystemError.h"

using namespace config_keys;

namespace {

// One key written under the lock.
unsigned long SaveKey(const IniFile& file, const wchar_t* operation, const std::wstring& section, const wchar_t* key,
                      int value) {
    const ConfigLock lock;
    const DWORD error = lock.Held() ? file.WriteInt(section, key, value) : ERROR_TIMEOUT;
    ReportConfigFailure(operation, file, error);
    return error;
}

}  // namespace

void ReportConfigFailure(const wchar_t* operation, const IniFile& file, unsigned long error) {
    if (!error) return;
    const std::wstring line = SystemErrorText(operation, error) + L" (" + file.Path() + L")";
    OutputDebugStringW(line.c_str());
}

unsigned long LoadSettings(const IniFile& file, SettingsImage& image) {
    IniSnapshot snapshot;
    const DWORD error = file.Read(snapshot);
    ReportConfigFailure(L"LoadSettings", file, error);
    LoadSettings(snapshot.Text, image);
    return error;
}

unsigned long WriteConfigFile(const IniFile& file, const SettingsImage& image) {
    const ConfigLock lock;
    IniSnapshot snapshot;
    DWORD error = lock.Held() ? file.Read(snapshot) : ERROR_TIMEOUT;
    if (!error) error = file.Write(snapshot, ConfigEntries(image, &snapshot.Text));
    ReportConfigFailure(L"WriteConfigFile", file, error);
    return error;
}

unsigned long PersistSettings(const IniFile& file, SettingsImage& image) {
    const ConfigLock lock;
    IniSnapshot snapshot;
    DWORD error = lock.Held() ? file.Read(snapshot) : ERROR_TIMEOUT;
    // Loaded again from what the file holds now, not from the image read before the pause.
    if (!error) LoadSettings(snapshot.Text, image);
    WritePointerRegistryValues(image);
    if (!error) error = file.Write(snapshot, ConfigEntries(image, &snapshot.Text));
    ReportConfigFailure(L"PersistSettings", file, error);
    return error;
}

unsigned long SavePlugState(const IniFile& file, int plugged) {
    return SaveKey(file, L"SavePlugState", kSettingSection, kPlug, plugged);
}

unsigned long SaveCurrentProfile(const IniFile& file, int index) {
    return SaveKey(file, L"SaveCurrentProfile", kSettingSection, kProfile, index);
}

unsigned long SaveGroupDpi(const IniFile& file, int level, int group) {
    return SaveKey(file, L"SaveGroupDpi", GroupSection(group), kDpi, level);
}
