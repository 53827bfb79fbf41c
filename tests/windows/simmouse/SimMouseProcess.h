#pragma once
// The simulated mouse's programs as the tests run them: the server as a child process in
// a kill-on-close job (it dies with the test, whatever happens), and the control tool
// for single requests, with its exit status and output.
#include <windows.h>

#include <string>

#include "Handles.h"

namespace simtest {

// The folder of simmouse.exe and HidDevice.dll, in Windows form.
std::wstring ProgramFolder();

// A pipe name no other test uses.
std::wstring UniquePipeName();

struct ToolRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string output;  // stdout and stderr together
};

class SimMouseProcesses {
public:
    SimMouseProcesses();
    // simmouse.exe with these arguments and --pipe; waits up to timeoutMs for it to end.
    ToolRun RunTool(const std::wstring& arguments, const std::wstring& pipeName, DWORD timeoutMs = 15000);

    // Starts "serve" on the pipe and waits until it answers; false when it never did.
    bool StartServer(const std::wstring& pipeName, const std::wstring& options = L"");
    // Asks the server to quit and waits for it to end; true when it exited with 0.
    bool QuitServer(const std::wstring& pipeName);

private:
    bool Launch(const std::wstring& commandLine, HANDLE output, UniqueKernelHandle& process);

    UniqueKernelHandle job_;
    UniqueKernelHandle server_;
};

}  // namespace simtest
