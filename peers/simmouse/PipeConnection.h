#pragma once
// One end of a byte-mode named pipe carrying text lines, with every wait bounded and
// breakable: each read or write also wakes on the caller's events (a stop request, a
// queue filling up) and cancels its I/O before returning, so no call can hang a thread.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Handles.h"

namespace simmouse {

class PipeConnection {
public:
    // Opens the server's pipe, waiting up to timeoutMs while every instance is busy.
    // Nothing when no server listens under that name.
    static std::optional<PipeConnection> Connect(const std::wstring& pipePath, DWORD timeoutMs);

    // Takes a pipe opened for overlapped I/O.
    explicit PipeConnection(UniqueKernelHandle pipe);
    PipeConnection(PipeConnection&&) noexcept = default;
    PipeConnection& operator=(PipeConnection&&) noexcept = default;

    enum class Status { Done, Closed, Woken, TimedOut };
    struct Result {
        Status status = Status::Closed;
        std::size_t wokenBy = 0;  // index into the wake events, for Status::Woken
    };

    // Writes all of the text. Anything but Done leaves the connection unusable.
    Result Write(std::string_view text, std::span<const HANDLE> wake, DWORD timeoutMs);

    // The next line without its end-of-line; Done when one was read. A line longer than
    // the protocol allows closes the connection.
    Result ReadLine(std::string& line, std::span<const HANDLE> wake, DWORD timeoutMs);

    // A request and its "ok N" / "error" reply with the body lines, all within timeoutMs.
    // Nothing when the server did not answer in time or answered nonsense.
    struct Answer {
        bool ok = false;
        std::string error;
        std::vector<std::string> lines;
    };
    std::optional<Answer> Ask(std::string_view request, DWORD timeoutMs);

private:
    Result Transfer(bool write, void* buffer, DWORD size, DWORD& transferred, std::span<const HANDLE> wake,
                    DWORD timeoutMs);
    std::optional<std::string> TakeBufferedLine();

    UniqueKernelHandle pipe_;
    UniqueKernelHandle ioDone_;
    std::string received_;
};

// Connects, asks one request and hangs up, all within timeoutMs.
std::optional<PipeConnection::Answer> AskServer(const std::wstring& pipePath, std::string_view request,
                                                DWORD timeoutMs);

}  // namespace simmouse
