#include "ControlClient.h"

#include <cstdio>

#include "PipeConnection.h"

namespace simmouse {

namespace {

// How long a busy server may keep a new client waiting.
constexpr DWORD kConnectTimeoutMs = 5000;
constexpr DWORD kReadyPollMs = 50;

}  // namespace

int SendRequest(const std::wstring& pipePath, const Invocation& invocation) {
    auto connection = PipeConnection::Connect(pipePath, kConnectTimeoutMs);
    if (!connection) {
        std::fprintf(stderr, "simmouse: no device server\n");
        return kExitNoServer;
    }
    const auto answer = connection->Ask(invocation.request, invocation.replyTimeoutMs);
    if (!answer) {
        std::fprintf(stderr, "simmouse: the device server did not answer\n");
        return kExitRefused;
    }
    for (const std::string& line : answer->lines) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (!answer->ok) {
        std::fprintf(stderr, "simmouse: %s\n", answer->error.c_str());
        return kExitRefused;
    }
    return kExitOk;
}

int WaitUntilReady(const std::wstring& pipePath, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (auto connection = PipeConnection::Connect(pipePath, kReadyPollMs)) {
            const auto answer = connection->Ask("ping", kConnectTimeoutMs);
            if (answer && answer->ok) return kExitOk;
        }
        if (GetTickCount64() >= deadline) break;
        Sleep(kReadyPollMs);
    }
    std::fprintf(stderr, "simmouse: no device server\n");
    return kExitRefused;
}

}  // namespace simmouse
