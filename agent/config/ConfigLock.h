#pragma once
// Keeps the agent and tern7ctl from interleaving their read-modify-writes of config.ini:
// each reads the file, changes it and replaces it while holding this lock, so neither
// replaces the file with a copy made before the other's change.
#include <windows.h>

#include "Handles.h"

class ConfigLock {
public:
    ConfigLock();
    ~ConfigLock();
    ConfigLock(const ConfigLock&) = delete;
    ConfigLock& operator=(const ConfigLock&) = delete;

    // False when the other side held the lock far too long; the caller then writes
    // nothing and reports it.
    bool Held() const { return held_; }

private:
    UniqueKernelHandle mutex_;
    bool held_ = false;
};
