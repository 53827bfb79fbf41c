#include "ConfigLock.h"

#include "ProgramNames.h"

ConfigLock::ConfigLock(DWORD waitMs) : mutex_(CreateMutexW(nullptr, FALSE, names::kConfigFileMutex)) {
    if (!mutex_) return;
    // An abandoned lock is still a lock: its holder ended, and its file was whole.
    const DWORD result = WaitForSingleObject(mutex_.get(), waitMs);
    held_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

ConfigLock::~ConfigLock() {
    if (held_) ReleaseMutex(mutex_.get());
}
