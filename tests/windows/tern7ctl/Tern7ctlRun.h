#pragma once
// tern7ctl.exe as a test runs it: copied into an install folder of the test's own (its
// program folder is where a first run copies the defaults from), run to its end or kept
// running with its output collected as it comes.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "Handles.h"
#include "TestFiles.h"
#include "TestProcess.h"

// What a command printed, without the line break at its end.
std::string Trimmed(std::string text);

class Tern7ctlInstall {
public:
    Tern7ctlInstall();
    const ScratchFolder& Folder() const { return folder_; }
    // The command line that runs the installed program with these arguments.
    std::wstring Command(const std::wstring& arguments) const;
    CommandResult Run(const std::wstring& arguments, DWORD timeoutMs = 30000) const;

private:
    ScratchFolder folder_;
};

// A program left running while the test acts, its standard output and error read into
// one text by a thread of this object's own.
class RunningCommand {
public:
    RunningCommand() = default;
    ~RunningCommand();
    RunningCommand(const RunningCommand&) = delete;
    RunningCommand& operator=(const RunningCommand&) = delete;

    bool Start(const std::wstring& commandLine);
    std::string Output() const;
    // Waits for the exit and the end of its output, pumping this thread's messages; false
    // on timeout.
    bool WaitForExit(DWORD timeoutMs);
    DWORD ExitCode() const;
    DWORD Id() const { return id_; }

private:
    UniqueKernelHandle process_;
    UniqueKernelHandle reader_;
    DWORD id_ = 0;
    std::thread readerThread_;
    std::atomic<bool> outputEnded_ = false;
    mutable std::mutex outputLock_;
    std::string output_;
};
