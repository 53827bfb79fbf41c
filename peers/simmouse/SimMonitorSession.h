#pragma once
// One monitoring session of the simulated HidDevice.dll, from ordinal 2 to ordinal 3.
// A reader thread follows the server's device events and hands them to a message-only
// window on the thread that started the session, which posts the open/close notices and
// calls the input callback there, as the real library does. For timed reports the reader
// also tells the server when the callback was called.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Handles.h"
#include "HidDeviceContract.h"
#include "MessageWindow.h"
#include "PipeConnection.h"
#include "SimProtocol.h"

namespace simmouse {

class MonitorSession {
public:
    MonitorSession(HWND target, UINT message, std::optional<hid::DeviceFilter> filter, std::wstring pipePath,
                   const std::atomic<hid::InputCallback>& callback);
    ~MonitorSession();
    MonitorSession(const MonitorSession&) = delete;
    MonitorSession& operator=(const MonitorSession&) = delete;

    // On the calling thread: true when the mouse was there and its collections opened.
    bool Start();
    // Ends the reader, posts close notices for whatever is open. Safe to repeat.
    void Stop();

    bool IsOpen(std::uint32_t collection) const;

    // For the library's unloading.
    static void UnregisterWindowClass(HINSTANCE module);

private:
    std::optional<PipeConnection> ConnectMonitor(DWORD timeoutMs, std::optional<MonitorEvent>& state);
    void ReadEvents(std::optional<PipeConnection> connection);
    void Queue(MonitorEvent event);
    void QueueDelivery(std::string line);
    bool SendDeliveries(PipeConnection& connection);
    void DeliverQueued();
    void Apply(const MonitorEvent& event);
    void OpenCollections();
    void CloseCollections();
    void Notify(bool opened, std::uint32_t collection) const;

    const HWND target_;
    const UINT message_;
    const std::optional<hid::DeviceFilter> filter_;
    const std::wstring pipePath_;
    const std::atomic<hid::InputCallback>& callback_;

    MessageWindow window_;
    UniqueKernelHandle stop_;
    std::thread reader_;
    bool stopped_ = false;

    std::mutex queueMutex_;
    std::deque<MonitorEvent> queue_;
    std::vector<std::string> deliveries_;  // guarded by queueMutex_
    UniqueKernelHandle deliveriesWaiting_;

    mutable std::mutex openMutex_;
    std::vector<std::uint32_t> open_;  // in the order they opened
};

}  // namespace simmouse
