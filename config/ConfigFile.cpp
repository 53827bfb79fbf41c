#include "ConfigFile.h"

#include <windows.h>

#include "ConfigKeys.h"
#include "ConfigLock.h"
#include "SystemError.h"

using namespace config_keys;

void ReportConfigFailure(const wchar_t* operation, const IniFile& file, unsigned long error) {
    if (!error) return;
    const std::wstring line = SystemErrorText(operation, error) + L" (" + file.Path() + L")";
    OutputDebugStringW(line.c_str());
}

unsigned long LoadSettings(const IniFile& file, SettingsImage& image) {
    IniSnapshot snapshot;
    const DWORD error = file.Read(snapshot);
    ReportConfigFailure(L"LoadSettings", file, error);
    if (!error) LoadSettings(snapshot.Text, image);
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

unsigned long PersistSettings(const IniFile& file, SettingsImage& image,
                              const std::function<void(const SettingsImage&)>& whenLoaded) {
    const ConfigLock lock;
    IniSnapshot snapshot;
    DWORD error = lock.Held() ? file.Read(snapshot) : ERROR_TIMEOUT;
    if (!error) {
        // Loaded again from what the file holds now, not from the image read before the pause.
        LoadSettings(snapshot.Text, image);
        if (whenLoaded) whenLoaded(image);
        error = file.Write(snapshot, ConfigEntries(image, &snapshot.Text));
    }
    ReportConfigFailure(L"PersistSettings", file, error);
    return error;
}

unsigned long SaveKeys(const IniFile& file, std::span<const IniEntry> keys, const wchar_t* operation) {
    const ConfigLock lock;
    const DWORD error = lock.Held() ? file.WriteKeys(keys) : ERROR_TIMEOUT;
    ReportConfigFailure(operation, file, error);
    return error;
}
