#include "Tern7ctlRun.h"

#include "PathText.h"

Tern7ctlInstall::Tern7ctlInstall() {
    CopyFileW(JoinPath(HostPath(TERN7_DIST_DIR), L"tern7ctl.exe").c_str(), folder_.File(L"tern7ctl.exe").c_str(), FALSE);
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
    std::optional<PipedProcess> child = StartWithPipedOutput(commandLine);
    if (!child) return false;
    process_ = std::move(child->Process);
    reader_ = std::move(child->Output);
    id_ = child->Id;
    readerThread_ = std::thread([this] {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(reader_.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
            std::lock_guard lock(outputLock_);
            output_.append(buffer, read);
        }
        outputEnded_ = true;
    });
    return true;
}

std::string RunningCommand::Output() const {
    std::lock_guard lock(outputLock_);
    return output_;
}

bool RunningCommand::WaitForExit(DWORD timeoutMs) {
    // The reader may still hold the last lines when the process is gone; the output ends
    // with the pipe.
    return PumpUntil([&] { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0 && outputEnded_; },
                     timeoutMs);
}

DWORD RunningCommand::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}
