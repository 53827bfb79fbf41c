#include "PipeConnection.h"

#include <vector>

#include "SimProtocol.h"

namespace simmouse {

namespace {

constexpr DWORD kReadChunk = 4096;

// Remaining milliseconds until a GetTickCount64 deadline.
DWORD Remaining(ULONGLONG deadline) {
    const ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

}  // namespace

std::optional<PipeConnection> PipeConnection::Connect(const std::wstring& pipePath, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        // Identification only: the server has no business acting as this process.
        HANDLE pipe = CreateFileW(pipePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) return PipeConnection(UniqueKernelHandle(pipe));
        if (GetLastError() != ERROR_PIPE_BUSY) return std::nullopt;
        const DWORD left = Remaining(deadline);
        if (left == 0) return std::nullopt;
        // Fails at once when the server went away meanwhile; the next CreateFileW says so.
        if (!WaitNamedPipeW(pipePath.c_str(), left)) Sleep(1);
    }
}

PipeConnection::PipeConnection(UniqueKernelHandle pipe)
    : pipe_(std::move(pipe)), ioDone_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

PipeConnection::Result PipeConnection::Transfer(bool write, void* buffer, DWORD size, DWORD& transferred,
                                                std::span<const HANDLE> wake, DWORD timeoutMs) {
    transferred = 0;
    if (!pipe_ || !ioDone_) return {Status::Closed};
    OVERLAPPED overlapped{};
    overlapped.hEvent = ioDone_.get();
    ResetEvent(ioDone_.get());
    const BOOL started = write ? WriteFile(pipe_.get(), buffer, size, nullptr, &overlapped)
                               : ReadFile(pipe_.get(), buffer, size, nullptr, &overlapped);
    if (!started && GetLastError() != ERROR_IO_PENDING) return {Status::Closed};

    std::vector<HANDLE> handles{ioDone_.get()};
    handles.insert(handles.end(), wake.begin(), wake.end());
    const DWORD waited = WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, timeoutMs);
    Result result{Status::Done};
    if (waited == WAIT_TIMEOUT) {
        result = {Status::TimedOut};
    } else if (waited > WAIT_OBJECT_0 && waited < WAIT_OBJECT_0 + handles.size()) {
        result = {Status::Woken, waited - WAIT_OBJECT_0 - 1};
    } else if (waited != WAIT_OBJECT_0) {
        result = {Status::Closed};
    }
    // The OVERLAPPED lives on this stack frame: the I/O must be over before returning.
    if (result.status != Status::Done) CancelIoEx(pipe_.get(), &overlapped);
    if (!GetOverlappedResult(pipe_.get(), &overlapped, &transferred, TRUE) && result.status == Status::Done) {
        result = {Status::Closed};
    }
    return result;
}

PipeConnection::Result PipeConnection::Write(std::string_view text, std::span<const HANDLE> wake, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    std::string pending(text);
    std::size_t sent = 0;
    while (sent < pending.size()) {
        DWORD transferred = 0;
        const Result result = Transfer(true, pending.data() + sent, static_cast<DWORD>(pending.size() - sent),
                                       transferred, wake, Remaining(deadline));
        sent += transferred;
        if (result.status != Status::Done) {
            pipe_.reset();
            return result;
        }
    }
    return {Status::Done};
}

std::optional<std::string> PipeConnection::TakeBufferedLine() {
    const std::size_t end = received_.find('\n');
    if (end == std::string::npos) return std::nullopt;
    std::string line = received_.substr(0, end);
    received_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

PipeConnection::Result PipeConnection::ReadLine(std::string& line, std::span<const HANDLE> wake, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (auto buffered = TakeBufferedLine()) {
            line = std::move(*buffered);
            return {Status::Done};
        }
        if (received_.size() > kMaxLineLength) {
            pipe_.reset();
            return {Status::Closed};
        }
        char chunk[kReadChunk];
        DWORD transferred = 0;
        const DWORD left = timeoutMs == INFINITE ? INFINITE : Remaining(deadline);
        const Result result = Transfer(false, chunk, sizeof chunk, transferred, wake, left);
        // Bytes that arrived as the wait was broken off are kept for the next call.
        received_.append(chunk, transferred);
        if (result.status == Status::Closed) pipe_.reset();
        if (result.status != Status::Done) return result;
    }
}

std::optional<PipeConnection::Answer> PipeConnection::Ask(std::string_view request, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    if (Write(std::string(request) + "\n", {}, timeoutMs).status != Status::Done) return std::nullopt;
    std::string line;
    if (ReadLine(line, {}, Remaining(deadline)).status != Status::Done) return std::nullopt;
    const auto status = ParseReplyStatus(line);
    if (!status) return std::nullopt;
    Answer answer{status->ok, status->error, {}};
    for (std::size_t i = 0; i < status->lineCount; ++i) {
        if (ReadLine(line, {}, Remaining(deadline)).status != Status::Done) return std::nullopt;
        answer.lines.push_back(line);
    }
    return answer;
}

std::optional<PipeConnection::Answer> AskServer(const std::wstring& pipePath, std::string_view request,
                                                DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    auto connection = PipeConnection::Connect(pipePath, timeoutMs);
    if (!connection) return std::nullopt;
    return connection->Ask(request, Remaining(deadline));
}

}  // namespace simmouse
