#pragma once
// Keys the agent saves into config.ini for the settings tool ("Plug", "Profile", "DPI")
// that could not be saved yet: another program held the file or its lock. They wait here,
// with the notices that tell the settings tool a value is saved, and are tried again
// together until they are saved; none is dropped. A notice goes out only once its key is
// in the file, since the settings tool reads the file when it gets one.
#include <cstdint>
#include <optional>
#include <vector>

#include "IniWrites.h"

struct SettingsToolNotice {
    unsigned Message;
    std::uintptr_t WParam;
    bool operator==(const SettingsToolNotice&) const = default;
};

class PendingSaves {
public:
    // A later value of a key that waits replaces the earlier one; its notice follows the
    // ones before it.
    void Add(const IniEntry& key, std::optional<SettingsToolNotice> notice);
    bool Empty() const { return keys_.empty(); }
    const std::vector<IniEntry>& Keys() const { return keys_; }
    // Every key is saved: the notices to send, in order; nothing waits any more.
    std::vector<SettingsToolNotice> Saved();

private:
    std::vector<IniEntry> keys_;
    std::vector<SettingsToolNotice> notices_;
};
