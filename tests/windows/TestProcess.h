#pragma once
// Programs started by the tests, waiting on them, and the message pump while waiting.
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Handles.h"

// A child process inside a kill-on-close job: it never outlives the test. Started with its
// output read, its standard output and error are read into one text by a thread of the
// object's own.
class ChildProcess {
public:
    ChildProcess();
    ChildProcess(ChildProcess&&) noexcept;
    ChildProcess& operator=(ChildProcess&&) noexcept;
    ~ChildProcess();

    // Starts commandLine in folder (empty: the test's own), with token's rights (none: this
    // process's); false if it could not start.
    bool Start(const std::wstring& commandLine, const std::wstring& folder = L"", HANDLE token = nullptr);
    bool StartReadingOutput(const std::wstring& commandLine);
    // Waits for the exit, and the end of the output read, pumping this thread's messages
    // meanwhile; false on timeout.
    bool WaitForExit(DWORD timeoutMs);
    DWORD ExitCode() const;
    // What it printed so far.
    std::string Output() const;
    // Ends the process and everything it started, and waits until they are gone.
    void Kill();
    // How many processes run in its job: the process and those it started.
    std::size_t ProcessesInJob() const;
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }

private:
    struct OutputReader;
    bool Launch(const std::wstring& commandLine, const std::wstring& folder, HANDLE token, HANDLE output);

    UniqueKernelHandle job_;
    UniqueKernelHandle process_;
    DWORD id_ = 0;
    std::unique_ptr<OutputReader> output_;
};

struct CommandResult {
    DWORD ExitCode = 0xFFFFFFFF;
    std::string Output;
};

// Runs a console program to its end and returns what it printed.
CommandResult RunCommand(const std::wstring& commandLine, DWORD timeoutMs = 15000);

// Dispatches this thread's messages until done() holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
void PumpFor(DWORD ms);

// Handles open in this process. Wine's GetProcessHandleCount says 0, so there they are
// counted in the system's handle list (every handle value is probed if even that fails).
DWORD CountOpenHandles();

// Running processes that this process (or the given parent) started with this file name
// ("notifyhost.exe"). A program started with CreateProcess or ShellExecute is counted
// from the moment the call returns, so "nothing was started" needs no wait.
std::size_t ChildProcessesNamed(const wchar_t* fileName, DWORD parentId = GetCurrentProcessId());

// The top-level windows of a process with exactly this title.
std::vector<HWND> WindowsOfProcess(DWORD processId, const wchar_t* title);
// True once window's thread has handled everything sent to it before: a barrier, without
// a fixed wait. False when it did not answer in time or the window is gone.
bool Answers(HWND window, DWORD timeoutMs);
// The first of them, pumping up to timeoutMs until one exists; null if none came.
HWND WaitForWindowOf(DWORD processId, const wchar_t* title, DWORD timeoutMs);
// The same, then up to timeoutMs more until its message loop answers: for a program just
// started, the end of its start-up. Null if either did not happen in time.
HWND WaitForAnsweringWindow(DWORD processId, const wchar_t* title, DWORD timeoutMs);

// Points the user's roaming application-data folder at another folder for as long as
// it lives.
class AppDataRedirect {
public:
    explicit AppDataRedirect(const std::wstring& folder);
    ~AppDataRedirect();
    AppDataRedirect(const AppDataRedirect&) = delete;
    AppDataRedirect& operator=(const AppDataRedirect&) = delete;

private:
    std::wstring previous_;
};

// The lines of a text file, empty when it does not exist.
std::vector<std::string> ReadLines(const std::wstring& path);
// How many lines begin with word.
int CountLines(const std::vector<std::string>& lines, const std::string& word);
