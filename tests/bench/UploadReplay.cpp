// An upload to the simulated mouse without the agent around it: the write requests of
// one upload, read from a file one a line, sent through the simulated library's own pipe
// client from a process of their own, each followed by the upload's pause. Prints, per
// round, the time inside the write calls and the time in the pauses, in milliseconds.
//
//   upload_replay REQUEST_FILE ROUNDS PAUSE_MS
#include <windows.h>
#include <timeapi.h>

#include <cstdio>
#include <cwchar>
#include <fstream>
#include <string>
#include <vector>

#include "ConfiguredPipe.h"
#include "PipeConnection.h"

namespace {

// The library's own limit on a write.
constexpr DWORD kWriteTimeoutMs = 1000;

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: upload_replay REQUEST_FILE ROUNDS PAUSE_MS\n");
        return 2;
    }
    std::vector<std::string> requests;
    std::ifstream file(argv[1]);
    for (std::string line; std::getline(file, line);)
        if (!line.empty()) requests.push_back(line);
    const long rounds = std::wcstol(argv[2], nullptr, 10);
    const auto pauseMs = static_cast<DWORD>(std::wcstol(argv[3], nullptr, 10));
    if (requests.empty() || rounds <= 0) {
        std::fprintf(stderr, "no requests to replay\n");
        return 2;
    }
    // As the agent's upload runs: the system timer at 1 ms.
    const bool fine = timeBeginPeriod(1) == TIMERR_NOERROR;
    const std::wstring pipe = simmouse::ConfiguredPipePath();
    int refused = 0;
    for (long round = 0; round < rounds; ++round) {
        double writing = 0, pausing = 0;
        for (const std::string& request : requests) {
            LARGE_INTEGER before, written, paused;
            QueryPerformanceCounter(&before);
            const auto answer = simmouse::AskServer(pipe, request, kWriteTimeoutMs);
            QueryPerformanceCounter(&written);
            Sleep(pauseMs);
            QueryPerformanceCounter(&paused);
            if (!answer || !answer->ok) ++refused;
            writing += Milliseconds(before, written);
            pausing += Milliseconds(written, paused);
        }
        std::printf("%.3f %.3f\n", writing, pausing);
    }
    if (fine) timeEndPeriod(1);
    if (refused) std::fprintf(stderr, "%d writes refused\n", refused);
    return refused ? 1 : 0;
}
