#include "SimMouseProcess.h"

#include <atomic>
#include <thread>

#include "TestFiles.h"

namespace simtest {

namespace {

std::wstring ToolPath() { return ProgramFolder() + L"\\simmouse.exe"; }

}  // namespace

std::wstring ProgramFolder() { return HostPath(SIMMOUSE_DIR); }

std::wstring UniquePipeName() {
    static std::atomic<unsigned> counter{0};
    return L"Tern7SimTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64()) +
           L"-" + std::to_wstring(++counter);
}

SimMouseProcesses::SimMouseProcesses() : job_(CreateJobObjectW(nullptr, nullptr)) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
}

bool SimMouseProcesses::Launch(const std::wstring& commandLine, HANDLE output, UniqueKernelHandle& process) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    PROCESS_INFORMATION info{};
    std::wstring mutableLine = commandLine;
    // Suspended until it is in the job, so that not even its first instruction escapes it.
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, output != nullptr, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &info)) {
        return false;
    }
    UniqueKernelHandle thread(info.hThread);
    process.reset(info.hProcess);
    AssignProcessToJobObject(job_.get(), info.hProcess);
    ResumeThread(thread.get());
    return true;
}

ToolRun SimMouseProcesses::RunTool(const std::wstring& arguments, const std::wstring& pipeName, DWORD timeoutMs) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueKernelHandle readEnd;
    UniqueKernelHandle writeEnd;
    ToolRun run;
    if (!CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, 0)) return run;
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    UniqueKernelHandle process;
    const std::wstring commandLine = L"\"" + ToolPath() + L"\" " + arguments + L" --pipe " + pipeName;
    const bool launched = Launch(commandLine, writeEnd.get(), process);
    writeEnd.reset();  // the child holds the only write end now: EOF when it ends
    if (!launched) return run;

    std::thread reader([&] {
        char buffer[512];
        DWORD read = 0;
        while (ReadFile(readEnd.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) run.output.append(buffer, read);
    });
    if (WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) TerminateProcess(process.get(), 0xDEAD);
    WaitForSingleObject(process.get(), INFINITE);
    reader.join();
    GetExitCodeProcess(process.get(), &run.exitCode);
    return run;
}

bool SimMouseProcesses::StartServer(const std::wstring& pipeName, const std::wstring& options) {
    const std::wstring commandLine = L"\"" + ToolPath() + L"\" serve " + options + L" --pipe " + pipeName;
    if (!Launch(commandLine, nullptr, server_)) return false;
    return RunTool(L"wait-ready 10000", pipeName).exitCode == 0;
}

bool SimMouseProcesses::QuitServer(const std::wstring& pipeName) {
    if (!server_) return false;
    RunTool(L"quit", pipeName);
    DWORD exitCode = 1;
    const bool ended = WaitForSingleObject(server_.get(), 10000) == WAIT_OBJECT_0;
    GetExitCodeProcess(server_.get(), &exitCode);
    server_.reset();
    return ended && exitCode == 0;
}

}  // namespace simtest
