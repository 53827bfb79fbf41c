#pragma once
// Files written beside the file they are to replace, and put in its place in one step,
// so that a reader finds the old file or the new one and a write cut short leaves the old.
#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <string>

#include "Handles.h"

// A program that holds a file without sharing (an editor, a sync client, a scanner)
// usually lets go within moments; a window's thread must not wait long for it.
inline constexpr int kBusyRetries = 4;
inline constexpr DWORD kBusyRetryMs = 10;

// Runs attempt until it succeeds, fails with an error that is not one of busy, or the
// retries are spent; the last error.
template <class Attempt>
DWORD RetryWhileBusy(std::initializer_list<DWORD> busy, Attempt attempt) {
    DWORD error = attempt();
    for (int retry = 0; retry < kBusyRetries && std::find(busy.begin(), busy.end(), error) != busy.end(); ++retry) {
        Sleep(kBusyRetryMs);
        error = attempt();
    }
    return error;
}

// Creates a new, empty file beside target that no other write uses: "~" and five
// hexadecimal digits, ".tmp", no longer than "config.ini", so that it fits wherever the
// file fits. A copy left by a write that was cut short is never reused. Returns 0 or the
// system's error code.
DWORD CreateWorkingCopy(const std::wstring& target, std::wstring& copy, UniqueKernelHandle& file);

// What was written to path reaches the disk. Returns 0 or the system's error code.
DWORD FlushToDisk(const std::wstring& path);

// Gives the copy what the target carries besides its text (attributes, explicit security,
// alternate streams) and renames it over the target in one step, which a crash cannot
// cut in two. A target that another program holds is tried again for a few tens of
// milliseconds. Returns 0 or the system's error code; the target is unchanged on error.
DWORD PutCopyInPlace(const std::wstring& copy, const std::wstring& target, DWORD attributes);

// An error code for a call that failed without setting one.
DWORD LastErrorOr(DWORD fallback);
