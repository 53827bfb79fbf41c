#include "Tern7ctlRun.h"

#include <algorithm>

#include "PathText.h"

#define TERN7_WIDEN2(text) L##text
#define TERN7_WIDEN(text) TERN7_WIDEN2(text)

namespace {

// The build folder as Wine shows the host's root: drive Z:.
std::wstring DistFolder() {
    std::wstring path = L"Z:" TERN7_WIDEN(TERN7_DIST_DIR);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

}  // namespace

Tern7ctlInstall::Tern7ctlInstall() {
    CopyFileW(JoinPath(DistFolder(), L"tern7ctl.exe").c_str(), folder_.File(L"tern7ctl.exe").c_str(), FALSE);
}

std::wstring Tern7ctlInstall::Command(const std::wstring& arguments) const {
    return L"\"" + folder_.File(L"tern7ctl.exe") + L"\" " + arguments;
}

CommandResult Tern7ctlInstall::Run(const std::wstring& arguments, DWORD timeoutMs) const {
    return RunCommand(Command(arguments), timeoutMs);
}

RunningCommand::~RunningCommand() {
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) TerminateProcess(process_.get(), 1);
    if (readerThread_.joinable()) readerThread_.join();
}

bool RunningCommand::Start(const std::wstring& commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
    reader_.reset(readEnd);
    UniqueKernelHandle writer(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &info))
        return false;
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    readerThread_ = std::thread([this] {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(reader_.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
            std::lock_guard lock(outputLock_);
            output_.append(buffer, read);
        }
    });
    return true;
}

std::string RunningCommand::Output() const {
    std::lock_guard lock(outputLock_);
    return output_;
}

bool RunningCommand::WaitForExit(DWORD timeoutMs) {
    return PumpUntil([&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }, timeoutMs);
}

DWORD RunningCommand::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}
