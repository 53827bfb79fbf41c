#pragma once
// config.ini writes as the programs make them, after waiting as long as it takes for the
// session's config lock: the agents of end-to-end tests in the same Wine session hold it
// now and then for longer than a program's own write waits. The lock is the owner's
// again inside, so the write goes on at once.
#include "ConfigFile.h"
#include "ConfigLock.h"

inline constexpr DWORD kTestLockWaitMs = 60000;

inline unsigned long WriteConfigFileWaiting(const IniFile& file, const SettingsImage& image) {
    const ConfigLock lock(kTestLockWaitMs);
    return WriteConfigFile(file, image);
}

inline unsigned long SaveKeysWaiting(const IniFile& file, std::span<const IniEntry> keys, const wchar_t* operation) {
    const ConfigLock lock(kTestLockWaitMs);
    return SaveKeys(file, keys, operation);
}

inline unsigned long PersistSettingsWaiting(const IniFile& file, SettingsImage& image) {
    const ConfigLock lock(kTestLockWaitMs);
    return PersistSettings(file, image);
}
