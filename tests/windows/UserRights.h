#pragma once
// The rights a program gets when the user starts it normally. Wine's default user runs
// every program elevated, as "Run as administrator" does on Windows; the token linked to
// that one is the same user's unelevated token, which Wine lets a process start others with.
#include <windows.h>

#include "Handles.h"

// True when the process runs with the elevated half of an administrator's token.
bool IsElevated(HANDLE process);

// A primary token to start programs unelevated with, or none when this process is not
// elevated (its own token serves then). On Windows an elevated process without the TCB
// privilege gets no usable linked token: then none, and IsElevated tells the caller.
UniqueKernelHandle UnelevatedToken();
