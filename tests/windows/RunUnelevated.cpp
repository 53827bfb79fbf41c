// Runs a command line with the rights the user's own programs get (UserRights.h) and
// returns its exit code: how the demo starts the setup and the uninstaller as a user
// would, under Wine, whose default user runs every program elevated.
//   run_unelevated.exe "C:\path\Tern7Setup-1.0.exe" [arguments]
#include <windows.h>

#include <cstdio>
#include <string>

#include "UserRights.h"

namespace {

// What follows this program's own name on its command line.
std::wstring ArgumentsAfterProgram() {
    std::wstring line = GetCommandLineW();
    std::size_t at = 0;
    if (!line.empty() && line[0] == L'"') {
        at = line.find(L'"', 1);
        at = at == std::wstring::npos ? line.size() : at + 1;
    } else {
        at = line.find(L' ');
        if (at == std::wstring::npos) at = line.size();
    }
    at = line.find_first_not_of(L' ', at);
    return at == std::wstring::npos ? std::wstring() : line.substr(at);
}

}  // namespace

int wmain() {
    std::wstring commandLine = ArgumentsAfterProgram();
    if (commandLine.empty()) {
        std::fprintf(stderr, "usage: run_unelevated.exe PROGRAM [ARGUMENTS]\n");
        return 2;
    }
    const UniqueKernelHandle token = UnelevatedToken();
    if (!token && IsElevated(GetCurrentProcess())) {
        std::fprintf(stderr, "run_unelevated: this process is elevated and has no unelevated token\n");
        return 2;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const BOOL started = token ? CreateProcessAsUserW(token.get(), nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                                      0, nullptr, nullptr, &startup, &info)
                               : CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                                nullptr, &startup, &info);
    if (!started) {
        std::fprintf(stderr, "run_unelevated: cannot start it (error %lu)\n", GetLastError());
        return 2;
    }
    const UniqueKernelHandle process(info.hProcess);
    CloseHandle(info.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}
