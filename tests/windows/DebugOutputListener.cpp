#include "DebugOutputListener.h"

#include <algorithm>
#include <cstring>

#include "TestProcess.h"

namespace {

constexpr DWORD kBufferBytes = 4096;

}  // namespace

DebugOutputListener::DebugOutputListener()
    : buffer_(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferBytes, L"DBWIN_BUFFER")),
      bufferReady_(CreateEventW(nullptr, FALSE, TRUE, L"DBWIN_BUFFER_READY")),
      dataReady_(CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY")) {
    if (!buffer_ || !bufferReady_ || !dataReady_) return;
    // The events may outlive an earlier listener in a process that still has them open, in
    // whatever state it left them: the buffer is free now.
    SetEvent(bufferReady_.get());
    view_ = static_cast<const char*>(MapViewOfFile(buffer_.get(), FILE_MAP_READ, 0, 0, kBufferBytes));
    listening_ = view_ != nullptr;
    if (listening_) reader_ = std::thread([this] { Listen(); });
}

DebugOutputListener::~DebugOutputListener() {
    stop_ = true;
    if (reader_.joinable()) reader_.join();
    if (view_) UnmapViewOfFile(view_);
}

void DebugOutputListener::Listen() {
    // A writer killed after it took the buffer and before it handed it over leaves it taken,
    // and every later writer would wait ten seconds a line: after a quiet while the buffer
    // is offered again. Writers hold the session's DBWinMutex meanwhile, one at a time.
    constexpr int kQuietWaitsBeforeOffering = 10;
    int quiet = 0;
    while (!stop_) {
        if (WaitForSingleObject(dataReady_.get(), 50) != WAIT_OBJECT_0) {
            if (++quiet % kQuietWaitsBeforeOffering == 0) SetEvent(bufferReady_.get());
            continue;
        }
        quiet = 0;
        DWORD pid = 0;
        std::memcpy(&pid, view_, sizeof pid);
        std::string text(view_ + sizeof pid, strnlen(view_ + sizeof pid, kBufferBytes - sizeof pid));
        SetEvent(bufferReady_.get());
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        std::lock_guard lock(mutex_);
        lines_.emplace_back(pid, std::move(text));
    }
}

std::vector<std::string> DebugOutputListener::Lines(DWORD pid) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> lines;
    for (const auto& [from, text] : lines_) {
        if (from == pid) lines.push_back(text);
    }
    return lines;
}

bool DebugOutputListener::WaitForLine(DWORD pid, const std::string& text, DWORD timeoutMs) const {
    return PumpUntil(
        [&] {
            const std::vector<std::string> lines = Lines(pid);
            return std::any_of(lines.begin(), lines.end(),
                               [&](const std::string& line) { return line.find(text) != std::string::npos; });
        },
        timeoutMs);
}
