#pragma once
// What the programs write to the debugger output, read as a debug-output viewer reads it
// (the DBWIN buffer): lines of processes that no debugger is attached to, without holding
// them up. The buffer is one for the whole session, so only a test that has a session of
// its own listens.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Handles.h"

class DebugOutputListener {
public:
    DebugOutputListener();
    ~DebugOutputListener();
    DebugOutputListener(const DebugOutputListener&) = delete;
    DebugOutputListener& operator=(const DebugOutputListener&) = delete;

    bool Listening() const { return listening_; }
    // The lines of process pid so far, each without its line break.
    std::vector<std::string> Lines(DWORD pid) const;
    // Pumps this thread's messages until a line of pid holds text; false on timeout.
    bool WaitForLine(DWORD pid, const std::string& text, DWORD timeoutMs) const;

private:
    void Listen();

    UniqueKernelHandle buffer_;
    UniqueKernelHandle bufferReady_;
    UniqueKernelHandle dataReady_;
    const char* view_ = nullptr;
    bool listening_ = false;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::pair<DWORD, std::string>> lines_;
    std::thread reader_;
};
