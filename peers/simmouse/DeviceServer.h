#pragma once
// The simulated mouse as a pipe server: every client connection gets a thread of its own;
// all of them share one mouse model under one lock. Monitor connections (the DLL's) get
// the device state and then every device event as it happens.
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Handles.h"
#include "MouseModel.h"
#include "PipeConnection.h"
#include "SimProtocol.h"

namespace simmouse {

class DeviceServer {
public:
    DeviceServer(std::wstring pipePath, MouseModel mouse);
    ~DeviceServer();
    DeviceServer(const DeviceServer&) = delete;
    DeviceServer& operator=(const DeviceServer&) = delete;

    // Claims the pipe name; false with a reason when another server holds it.
    bool Listen(std::string& error);

    // Accepts clients until one asks the server to quit, then ends every connection.
    // False when the pipe failed first.
    bool Run();

private:
    struct Monitor {
        std::deque<std::string> lines;  // guarded by the server's mutex
        UniqueKernelHandle wake;        // set when lines were added
    };
    struct Worker {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };

    UniqueKernelHandle CreateInstance(bool first);
    void StartWorker(PipeConnection connection);
    void ReapFinishedWorkers();
    void Serve(PipeConnection& connection);
    void ServeMonitor(PipeConnection& connection);
    Reply WaitForLog(std::string_view arguments);
    Reply Repeat(std::string_view arguments);
    void Publish(const std::vector<MonitorEvent>& events);  // with mutex_ held
    void RequestQuit();
    bool Send(PipeConnection& connection, const std::string& text);

    std::wstring pipePath_;
    UniqueKernelHandle owner_;  // named mutex: one server per pipe name
    UniqueKernelHandle quit_;
    UniqueKernelHandle listening_;

    std::mutex mutex_;
    std::condition_variable logChanged_;
    MouseModel mouse_;
    bool quitting_ = false;
    std::list<std::shared_ptr<Monitor>> monitors_;

    std::list<Worker> workers_;  // touched by the accepting thread only
};

}  // namespace simmouse
