#pragma once
// Keeps the agent, the settings window and tern7ctl from interleaving their
// read-modify-writes of config.ini: each reads the file, changes it and replaces it while
// holding this lock, so none replaces the file with a copy made before another's change.
#include <windows.h>

#include "Handles.h"

class ConfigLock {
public:
    // Longest a window's thread waits: a holder finishes a write in far less, and the
    // window must go on answering while another program holds the lock for long. The
    // caller tries again later.
    static constexpr DWORD kWindowWaitMs = 250;

    explicit ConfigLock(DWORD waitMs = kWindowWaitMs);
    ~ConfigLock();
    ConfigLock(const ConfigLock&) = delete;
    ConfigLock& operator=(const ConfigLock&) = delete;

    // False when another holds the lock still; the caller then writes nothing.
    bool Held() const { return held_; }

private:
    UniqueKernelHandle mutex_;
    bool held_ = false;
};
