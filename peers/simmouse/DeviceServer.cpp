#include "DeviceServer.h"

#include <algorithm>

#include "SimCommands.h"

namespace simmouse {

namespace {

constexpr DWORD kPipeBufferSize = 16 * 1024;
// A client that takes longer than this to take a reply is gone for our purposes.
constexpr DWORD kSendTimeoutMs = 5000;

}  // namespace

DeviceServer::DeviceServer(std::wstring pipePath, MouseModel mouse)
    : pipePath_(std::move(pipePath)), quit_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), mouse_(std::move(mouse)) {}

DeviceServer::~DeviceServer() {
    RequestQuit();
    for (Worker& worker : workers_) worker.thread.join();
}

UniqueKernelHandle DeviceServer::CreateInstance(bool first) {
    DWORD openMode = PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED;
    // The first instance proves that no other server owns the name.
    if (first) openMode |= FILE_FLAG_FIRST_PIPE_INSTANCE;
    HANDLE pipe = CreateNamedPipeW(pipePath_.c_str(), openMode,
                                   PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
                                   PIPE_UNLIMITED_INSTANCES, kPipeBufferSize, kPipeBufferSize, 0, nullptr);
    return pipe == INVALID_HANDLE_VALUE ? UniqueKernelHandle() : UniqueKernelHandle(pipe);
}

bool DeviceServer::Listen(std::string& error) {
    // Two servers on one name would split the clients between two mice. The first-instance
    // flag says so on Windows; Wine ignores it, so a mutex named after the pipe says it too.
    std::wstring mutexName = L"Local\\Tern7SimMouse:" + pipePath_;
    std::replace(mutexName.begin() + 6, mutexName.end(), L'\\', L'/');
    owner_.reset(CreateMutexW(nullptr, FALSE, mutexName.c_str()));
    if (!owner_ || GetLastError() == ERROR_ALREADY_EXISTS) {
        owner_.reset();
        error = "the pipe is already served";
        return false;
    }
    listening_ = CreateInstance(true);
    if (listening_) return true;
    const DWORD code = GetLastError();
    error = code == ERROR_ACCESS_DENIED || code == ERROR_PIPE_BUSY ? "the pipe is already served"
                                                                     : "cannot create the pipe (error " +
                                                                           std::to_string(code) + ")";
    return false;
}

bool DeviceServer::Run() {
    UniqueKernelHandle connected(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    while (listening_) {
        OVERLAPPED overlapped{};
        overlapped.hEvent = connected.get();
        ResetEvent(connected.get());
        bool isConnected = ConnectNamedPipe(listening_.get(), &overlapped) != FALSE;
        DWORD code = isConnected ? ERROR_SUCCESS : GetLastError();
        if (code == ERROR_IO_PENDING) {
            const HANDLE handles[] = {connected.get(), quit_.get()};
            if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0) {
                CancelIoEx(listening_.get(), &overlapped);
                DWORD ignored = 0;
                GetOverlappedResult(listening_.get(), &overlapped, &ignored, TRUE);
                break;
            }
            DWORD ignored = 0;
            isConnected = GetOverlappedResult(listening_.get(), &overlapped, &ignored, FALSE) != FALSE;
        } else if (code == ERROR_PIPE_CONNECTED) {
            isConnected = true;  // the client was quicker than ConnectNamedPipe
        }
        // The next instance exists before this one is handed over: with no instance at
        // all the name would vanish, and a client arriving then would find no server.
        UniqueKernelHandle next = CreateInstance(false);
        if (isConnected) StartWorker(PipeConnection(std::move(listening_)));
        listening_ = std::move(next);
        ReapFinishedWorkers();
        if (WaitForSingleObject(quit_.get(), 0) == WAIT_OBJECT_0) break;
    }
    const bool asked = WaitForSingleObject(quit_.get(), 0) == WAIT_OBJECT_0;
    RequestQuit();
    for (Worker& worker : workers_) worker.thread.join();
    workers_.clear();
    return asked;
}

void DeviceServer::StartWorker(PipeConnection connection) {
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::thread thread([this, finished, connection = std::move(connection)]() mutable {
        Serve(connection);
        finished->store(true);
    });
    workers_.push_back({std::move(thread), std::move(finished)});
}

void DeviceServer::ReapFinishedWorkers() {
    for (auto it = workers_.begin(); it != workers_.end();) {
        if (it->finished->load()) {
            it->thread.join();
            it = workers_.erase(it);
        } else {
            ++it;
        }
    }
}

void DeviceServer::RequestQuit() {
    SetEvent(quit_.get());
    {
        std::lock_guard lock(mutex_);
        quitting_ = true;
    }
    logChanged_.notify_all();
}

bool DeviceServer::Send(PipeConnection& connection, const std::string& text) {
    const HANDLE wake[] = {quit_.get()};
    return connection.Write(text, wake, kSendTimeoutMs).status == PipeConnection::Status::Done;
}

void DeviceServer::Serve(PipeConnection& connection) {
    const HANDLE wake[] = {quit_.get()};
    std::string line;
    while (connection.ReadLine(line, wake, INFINITE).status == PipeConnection::Status::Done) {
        if (!IsPrintableLine(line)) {
            if (!Send(connection, FormatReply(Reply::Error("requests are printable ASCII lines")))) return;
            continue;
        }
        const Split request = SplitFirstWord(line);
        if (request.word == "monitor") {
            ServeMonitor(connection);
            return;
        }
        if (request.word == "quit") {
            Send(connection, FormatReply(Reply::Ok()));
            RequestQuit();
            return;
        }
        Reply reply;
        if (request.word == "wait-log") {
            reply = WaitForLog(request.rest);
        } else if (request.word == "repeat") {
            reply = Repeat(request.rest);
        } else {
            std::lock_guard lock(mutex_);
            CommandOutcome outcome = ExecuteCommand(mouse_, line);
            Publish(outcome.events);
            reply = std::move(outcome.reply);
        }
        logChanged_.notify_all();
        if (!Send(connection, FormatReply(reply))) return;
    }
}

void DeviceServer::Publish(const std::vector<MonitorEvent>& events) {
    if (events.empty()) return;
    for (const auto& monitor : monitors_) {
        for (const MonitorEvent& event : events) monitor->lines.push_back(FormatMonitorEvent(event));
        SetEvent(monitor->wake.get());
    }
}

void DeviceServer::ServeMonitor(PipeConnection& connection) {
    auto monitor = std::make_shared<Monitor>();
    monitor->wake.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    {
        // The state goes first, under the same lock that orders every later event.
        std::lock_guard lock(mutex_);
        monitor->lines.push_back(FormatMonitorEvent(DeviceEventOf(mouse_)));
        monitors_.push_back(monitor);
    }
    const HANDLE wake[] = {quit_.get(), monitor->wake.get()};
    for (;;) {
        std::deque<std::string> lines;
        {
            std::lock_guard lock(mutex_);
            lines.swap(monitor->lines);
        }
        bool sent = true;
        for (const std::string& line : lines) sent = sent && Send(connection, line + "\n");
        if (!sent) break;
        // Monitors only say when they delivered a timed report; a read that ends means the
        // client went away.
        std::string said;
        const auto result = connection.ReadLine(said, wake, INFINITE);
        const bool moreLines = result.status == PipeConnection::Status::Woken && result.wokenBy == 1;
        if (!moreLines && result.status != PipeConnection::Status::Done) break;
        if (result.status == PipeConnection::Status::Done && IsDelivery(said)) {
            {
                std::lock_guard lock(mutex_);
                mouse_.LogDelivery(said);
            }
            logChanged_.notify_all();
        }
    }
    std::lock_guard lock(mutex_);
    monitors_.remove(monitor);
}

Reply DeviceServer::WaitForLog(std::string_view arguments) {
    const auto request = ParseWaitLog(arguments);
    if (!request) return Reply::Error("usage: wait-log TIMEOUT_MS PATTERN");
    std::unique_lock lock(mutex_);
    std::optional<std::string> found;
    logChanged_.wait_for(lock, std::chrono::milliseconds(request->timeoutMs), [&] {
        found = FindLogLine(mouse_.Log(), request->pattern);
        return found || quitting_;
    });
    if (!found) return Reply::Error(quitting_ ? "server quitting" : "timeout");
    return Reply::Ok({*found});
}

Reply DeviceServer::Repeat(std::string_view arguments) {
    const auto request = ParseRepeat(arguments);
    if (!request) return Reply::Error("usage: repeat COUNT INTERVAL_MS ID HEX...");
    for (std::uint32_t sent = 0; sent < request->count; ++sent) {
        if (sent > 0 && WaitForSingleObject(quit_.get(), request->intervalMs) != WAIT_TIMEOUT) {
            return Reply::Error("server quitting after " + std::to_string(sent) + " reports");
        }
        std::lock_guard lock(mutex_);
        const CommandOutcome outcome = SendRepeated(mouse_, *request);
        if (!outcome.reply.ok) return Reply::Error(outcome.reply.error + " after " + std::to_string(sent) + " reports");
        Publish(outcome.events);
    }
    return Reply::Ok({"sent " + std::to_string(request->count)});
}

}  // namespace simmouse
