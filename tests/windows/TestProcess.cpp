#include "TestProcess.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "TestFiles.h"

namespace {

constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

}  // namespace

// The output of a child, read until the child and every process that inherited the pipe
// are done with it.
struct ChildProcess::OutputReader {
    UniqueKernelHandle Pipe;
    std::thread Thread;
    std::atomic<bool> Ended{false};
    mutable std::mutex Lock;
    std::string Text;

    ~OutputReader() {
        if (Thread.joinable()) Thread.join();
    }
};

ChildProcess::ChildProcess() = default;
ChildProcess::ChildProcess(ChildProcess&&) noexcept = default;
ChildProcess& ChildProcess::operator=(ChildProcess&&) noexcept = default;

ChildProcess::~ChildProcess() {
    // Closing the job ends the process if it still runs, and with it the output.
    process_.reset();
    job_.reset();
    output_.reset();
}

bool ChildProcess::Start(const std::wstring& commandLine, const std::wstring& folder, HANDLE token) {
    return Launch(commandLine, folder, token, nullptr);
}

bool ChildProcess::StartReadingOutput(const std::wstring& commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
    auto reader = std::make_unique<OutputReader>();
    reader->Pipe.reset(readEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    // Only the child holds the write end, so reading ends when the child does.
    const UniqueKernelHandle writer(writeEnd);
    if (!Launch(commandLine, L"", nullptr, writeEnd)) return false;
    output_ = std::move(reader);
    output_->Thread = std::thread([reader = output_.get()] {
        char buffer[4096];
        DWORD read = 0;
        while (ReadFile(reader->Pipe.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
            std::lock_guard lock(reader->Lock);
            reader->Text.append(buffer, read);
        }
        reader->Ended = true;
    });
    return true;
}

bool ChildProcess::Launch(const std::wstring& commandLine, const std::wstring& folder, HANDLE token, HANDLE output) {
    job_.reset(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits));

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    PROCESS_INFORMATION info{};
    std::wstring line = commandLine;
    const wchar_t* directory = folder.empty() ? nullptr : folder.c_str();
    const BOOL inheritHandles = output != nullptr;
    const DWORD flags = CREATE_SUSPENDED | (output ? CREATE_NO_WINDOW : 0);
    const BOOL started = token ? CreateProcessAsUserW(token, nullptr, line.data(), nullptr, nullptr, inheritHandles,
                                                      flags, nullptr, directory, &startup, &info)
                               : CreateProcessW(nullptr, line.data(), nullptr, nullptr, inheritHandles, flags, nullptr,
                                                directory, &startup, &info);
    if (!started) return false;
    AssignProcessToJobObject(job_.get(), info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    return true;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0;
        const HANDLE process = process_.get();
        const DWORD result =
            MsgWaitForMultipleObjects(1, &process, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) break;
        PumpFor(0);
    }
    // The reader may still hold the last lines when the process is gone; the output ends
    // with the pipe.
    const ULONGLONG now = GetTickCount64();
    return !output_ ||
           PumpUntil([&] { return output_->Ended.load(); }, now >= deadline ? 0 : static_cast<DWORD>(deadline - now));
}

std::string ChildProcess::Output() const {
    if (!output_) return {};
    std::lock_guard lock(output_->Lock);
    return output_->Text;
}

void ChildProcess::Kill() {
    if (!job_) return;
    TerminateJobObject(job_.get(), 1);
    WaitForSingleObject(process_.get(), 10000);
}

std::size_t ChildProcess::ProcessesInJob() const {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!QueryInformationJobObject(job_.get(), JobObjectBasicAccountingInformation, &accounting, sizeof(accounting),
                                   nullptr))
        return 0;
    return accounting.ActiveProcesses;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

CommandResult RunCommand(const std::wstring& commandLine, DWORD timeoutMs) {
    CommandResult result;
    ChildProcess child;
    if (!child.StartReadingOutput(commandLine)) return result;
    if (child.WaitForExit(timeoutMs)) result.ExitCode = child.ExitCode();
    result.Output = child.Output();
    return result;
}

namespace {

// One call for the whole system's handle list, where probing every value takes a
// server round trip each; nullopt where the list cannot be had.
std::optional<DWORD> CountOwnHandlesInSystemList() {
    std::vector<std::byte> buffer(256 * 1024);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        const NTSTATUS status = NtQuerySystemInformation(SystemHandleInformation, buffer.data(),
                                                         static_cast<ULONG>(buffer.size()), &needed);
        if (status == static_cast<NTSTATUS>(0xC0000004L)) {  // the list grew past the buffer
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed + 64 * 1024));
            continue;
        }
        if (status < 0) return std::nullopt;
        const auto* list = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
        const DWORD self = GetCurrentProcessId();
        DWORD count = 0;
        for (ULONG i = 0; i < list->Count; ++i) count += list->Handle[i].OwnerPid == self ? 1 : 0;
        return count > 0 ? std::optional<DWORD>(count) : std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

DWORD CountOpenHandles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
    if (const auto listed = CountOwnHandlesInSystemList()) return *listed;
    count = 0;
    constexpr ULONG_PTR kHighestProbed = 4 * 32768;
    for (ULONG_PTR value = 4; value <= kHighestProbed; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= deadline) return false;
        PumpFor(0);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void PumpFor(DWORD ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (GetTickCount64() >= deadline) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (true);
}

std::vector<HWND> WindowsOfProcess(DWORD processId, const wchar_t* title) {
    struct Search {
        DWORD ProcessId;
        const wchar_t* Title;
        std::vector<HWND> Found;
    } search{processId, title, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t text[256] = {};
            GetWindowTextW(window, text, 256);
            if (owner == s.ProcessId && std::wstring(text) == s.Title) s.Found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND WaitForWindowOf(DWORD processId, const wchar_t* title, DWORD timeoutMs) {
    HWND window = nullptr;
    PumpUntil(
        [&] {
            const auto found = WindowsOfProcess(processId, title);
            window = found.empty() ? nullptr : found.front();
            return window != nullptr;
        },
        timeoutMs);
    return window;
}

std::size_t ChildProcessesNamed(const wchar_t* fileName, DWORD parentId) {
    const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return 0;
    std::size_t count = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ParentProcessID == parentId && _wcsicmp(entry.szExeFile, fileName) == 0) ++count;
    }
    return count;
}

bool Answers(HWND window, DWORD timeoutMs) {
    DWORD_PTR ignored = 0;
    return window && SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored) != 0;
}

HWND WaitForAnsweringWindow(DWORD processId, const wchar_t* title, DWORD timeoutMs) {
    const HWND window = WaitForWindowOf(processId, title, timeoutMs);
    return Answers(window, timeoutMs) ? window : nullptr;
}

AppDataRedirect::AppDataRedirect(const std::wstring& folder) {
    wchar_t previous[MAX_PATH] = {};
    DWORD bytes = sizeof(previous);
    RegGetValueW(HKEY_CURRENT_USER, kShellFolders, L"AppData", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                 nullptr, previous, &bytes);
    previous_ = previous;
    RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"AppData", REG_EXPAND_SZ, folder.c_str(),
                    static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
}

AppDataRedirect::~AppDataRedirect() {
    RegSetKeyValueW(HKEY_CURRENT_USER, kShellFolders, L"AppData", REG_EXPAND_SZ, previous_.c_str(),
                    static_cast<DWORD>((previous_.size() + 1) * sizeof(wchar_t)));
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    std::istringstream text(ReadFileBytes(path));
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

int CountLines(const std::vector<std::string>& lines, const std::string& word) {
    int count = 0;
    for (const std::string& line : lines) count += line.rfind(word, 0) == 0 ? 1 : 0;
    return count;
}
