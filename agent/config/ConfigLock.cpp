#include "ConfigLock.h"

#include "ProgramNames.h"

namespace {

// Far longer than any write of the file takes.
constexpr DWORD kWaitMs = 10000;

}  // namespace

ConfigLock::ConfigLock() : mutex_(CreateMutexW(nullptr, FALSE, names::kConfigFileMutex)) {
    if (!mutex_) return;
    // An abandoned lock is still a lock: its holder ended, and its file was whole.
    const DWORD result = WaitForSingleObject(mutex_.get(), kWaitMs);
    held_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

ConfigLock::~ConfigLock() {
    if (held_) ReleaseMutex(mutex_.get());
}
