#pragma once
// One copy of a program a session: the copy that starts first holds the program's named
// mutex while it runs, and a later copy finds it there.
#include <windows.h>

#include "Handles.h"

// Creates the named mutex into mutex. False when another copy holds it already: the
// handle is closed again and mutex left empty. A mutex that cannot be made at all stops
// no copy.
inline bool TakeSingleInstance(UniqueKernelHandle& mutex, const wchar_t* name) {
    mutex.reset(CreateMutexW(nullptr, FALSE, name));
    if (GetLastError() != ERROR_ALREADY_EXISTS) return true;
    mutex.reset();
    return false;
}
