#pragma once
// One monitoring session, from the library's start to its stop. It keeps the matching
// collections open as devices come and go, reports each opening and closing to the
// caller's window, and hands input reports to the caller's callback on the thread that
// started the session, through a message-only window of its own.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "CollectionFilter.h"
#include "CollectionIo.h"
#include "CollectionRoster.h"
#include "CollectionSource.h"
#include "HidDeviceContract.h"
#include "MessageWindow.h"
#include "ReportQueue.h"

namespace hiddevice {

inline constexpr wchar_t kMonitorWindowClass[] = L"Tern7HidDeviceMonitor";

class MonitorSession final : public std::enable_shared_from_this<MonitorSession>,
                             private CollectionIo::Sink,
                             private CollectionEffects {
public:
    // Sessions live in a shared_ptr: a callback may stop the session it is called from.
    MonitorSession(HWND target, UINT message, CollectionFilter filter, std::unique_ptr<CollectionSource> source,
                   const std::atomic<hid::InputCallback>& callback);
    ~MonitorSession() override;
    MonitorSession(const MonitorSession&) = delete;
    MonitorSession& operator=(const MonitorSession&) = delete;

    // On the thread that will receive the reports: opens what is present and watches for
    // arrivals. True when a device's main collection opened.
    bool Start();
    // Closes everything, reporting each close, and stops watching. Safe to repeat.
    void Stop();
    bool Write(std::uint16_t deviceId, const std::uint8_t* report, std::uint32_t length);

    // For the library's unloading.
    static void UnregisterWindowClass(HINSTANCE module);

private:
    using UniqueDeviceNotification = UniqueHandle<HDEVNOTIFY, &::UnregisterDeviceNotification>;

    // The window's messages; false leaves one to default processing.
    bool HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Rescan();
    void CloseFailed(std::uint16_t deviceId, std::uint32_t serial);
    void CloseAllFailed();
    void DeliverReports();
    bool WakeForReports() const;

    void OnReport(std::uint16_t deviceId, std::span<const std::uint8_t> report) override;
    void OnReadFailed(std::uint16_t deviceId, std::uint32_t serial) override;

    bool Open(std::uint16_t deviceId, const std::wstring& path) override;
    void Close(std::uint16_t deviceId) override;
    void Notify(bool opened, std::uint16_t deviceId) override;

    const HWND target_;
    const UINT message_;
    const CollectionFilter filter_;
    const std::unique_ptr<CollectionSource> source_;
    const std::atomic<hid::InputCallback>& callback_;

    MessageWindow window_;
    UniqueDeviceNotification notification_;
    std::atomic<bool> stopped_{false};

    std::mutex rosterMutex_;  // the roster and the last scan
    CollectionRoster roster_;
    std::map<std::wstring, ProbedCollection> scanned_;

    std::mutex collectionsMutex_;
    std::map<std::uint16_t, std::shared_ptr<CollectionIo>> collections_;

    ReportQueue reports_;

    // Reads that failed, waiting for the session's thread. Kept here rather than in the
    // wake-up, which any process could post.
    std::mutex failedMutex_;
    std::vector<std::pair<std::uint16_t, std::uint32_t>> failedReads_;
};

}  // namespace hiddevice
