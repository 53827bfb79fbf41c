#include "MonitorSession.h"

#include <dbt.h>

#include <vector>

namespace hiddevice {

namespace {

constexpr UINT kReportsWaiting = WM_APP + 1;
constexpr UINT kReadFailed = WM_APP + 2;
constexpr UINT_PTR kRescanTimer = 1;
// Arrivals come one interface at a time; one look after the last of them sees the
// whole device.
constexpr UINT kRescanDelayMs = 150;
// Reports handed over per message, so that the caller's other messages get their turn.
constexpr int kDeliveryBatch = 64;
constexpr DWORD kWriteTimeoutMs = 1000;

bool IsInterfaceChange(WPARAM event, LPARAM data) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return false;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    return header && header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE;
}

}  // namespace

MonitorSession::MonitorSession(HWND target, UINT message, CollectionFilter filter,
                               std::unique_ptr<CollectionSource> source,
                               const std::atomic<hid::InputCallback>& callback)
    : target_(target),
      message_(message),
      filter_(std::move(filter)),
      source_(std::move(source)),
      callback_(callback),
      // Enough for bursts of a fast device; beyond it a flooding device loses reports.
      reports_(kLibraryReportCapacity, hid::kMinInputBuffer) {}

MonitorSession::~MonitorSession() { Stop(); }

void MonitorSession::UnregisterWindowClass(HINSTANCE module) { UnregisterClassW(kMonitorWindowClass, module); }

bool MonitorSession::Start() {
    const auto handler = [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        // Whatever the handler calls, the session outlives it.
        const std::shared_ptr<MonitorSession> keep = weak_from_this().lock();
        return keep && keep->HandleMessage(window, message, wParam, lParam, result);
    };
    if (!window_.Create(kMonitorWindowClass, handler)) return false;

    // Some systems refuse device notifications; then only this first look finds devices.
    DEV_BROADCAST_DEVICEINTERFACE_W interfaces{};
    interfaces.dbcc_size = sizeof interfaces;
    interfaces.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    interfaces.dbcc_classguid = source_->InterfaceClass();
    notification_.reset(RegisterDeviceNotificationW(window_.Get(), &interfaces, DEVICE_NOTIFY_WINDOW_HANDLE));

    Rescan();
    std::lock_guard lock(rosterMutex_);
    return roster_.AnyDeviceOpen();
}

void MonitorSession::Stop() {
    if (stopped_.exchange(true)) return;
    notification_.reset();
    {
        std::lock_guard lock(rosterMutex_);
        roster_.CloseAll(*this);
        scanned_.clear();
    }
    reports_.Close();
    window_.Destroy();
}

bool MonitorSession::Write(std::uint16_t deviceId, const std::uint8_t* report, std::uint32_t length) {
    std::shared_ptr<CollectionIo> collection;
    {
        std::lock_guard lock(collectionsMutex_);
        const auto found = collections_.find(deviceId);
        if (found == collections_.end()) {
            SetLastError(ERROR_DEVICE_NOT_CONNECTED);
            return false;
        }
        collection = found->second;
    }
    return collection->Write(report, length, kWriteTimeoutMs);
}

bool MonitorSession::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case kReportsWaiting:
            DeliverReports();
            result = 0;
            return true;
        case kReadFailed:
            CloseAllFailed();
            result = 0;
            return true;
        case WM_DEVICECHANGE:
            if (IsInterfaceChange(wParam, lParam)) SetTimer(window, kRescanTimer, kRescanDelayMs, nullptr);
            result = TRUE;
            return true;
        case WM_TIMER:
            if (wParam != kRescanTimer) return false;
            KillTimer(window, kRescanTimer);
            Rescan();
            result = 0;
            return true;
        default: return false;
    }
}

void MonitorSession::Rescan() {
    std::vector<PresentCollection> present;
    std::map<std::wstring, ProbedCollection> scanned;
    for (ProbedCollection& collection : source_->Present()) {
        const auto pair = filter_.MatchingPair(collection.Attributes);
        if (!pair) continue;
        present.push_back({collection.Path, collection.DeviceKey, *pair, collection.Lengths.Output});
        scanned[collection.Path] = std::move(collection);
    }
    OrderForWriting(present, hid::kOutputReportLength, filter_.PairCount());
    std::lock_guard lock(rosterMutex_);
    if (stopped_) return;
    scanned_ = std::move(scanned);
    roster_.Update(std::move(present), *this);
}

void MonitorSession::CloseFailed(std::uint16_t deviceId, std::uint32_t serial) {
    {
        // The identifier may have closed and opened again since the read failed.
        std::lock_guard lock(collectionsMutex_);
        const auto found = collections_.find(deviceId);
        if (found == collections_.end() || found->second->Serial() != serial) return;
    }
    // Not opened again until the next arrival: a collection whose reads keep failing
    // must not spin between opening and closing.
    std::lock_guard lock(rosterMutex_);
    if (!stopped_) roster_.Close(deviceId, *this);
}

void MonitorSession::CloseAllFailed() {
    std::vector<std::pair<std::uint16_t, std::uint32_t>> failed;
    {
        std::lock_guard lock(failedMutex_);
        failed.swap(failedReads_);
    }
    for (const auto& [deviceId, serial] : failed) CloseFailed(deviceId, serial);
}

void MonitorSession::DeliverReports() {
    for (int delivered = 0; delivered < kDeliveryBatch; ++delivered) {
        if (stopped_) return;
        const auto report = reports_.Take();
        if (!report) return;
        if (const hid::InputCallback callback = callback_.load()) {
            callback(report->DeviceId, report->Bytes.data(), report->Length);
        }
    }
    if (!stopped_) reports_.WakeForRest([this] { return WakeForReports(); });
}

bool MonitorSession::WakeForReports() const { return PostMessageW(window_.Get(), kReportsWaiting, 0, 0) != FALSE; }

void MonitorSession::OnReport(std::uint16_t deviceId, std::span<const std::uint8_t> report) {
    reports_.Offer(deviceId, report, static_cast<std::uint32_t>(report.size()), [this] { return WakeForReports(); });
}

void MonitorSession::OnReadFailed(std::uint16_t deviceId, std::uint32_t serial) {
    {
        // A reader fails once and ends, so this holds at most one entry per collection.
        std::lock_guard lock(failedMutex_);
        failedReads_.emplace_back(deviceId, serial);
    }
    PostMessageW(window_.Get(), kReadFailed, 0, 0);
}

bool MonitorSession::Open(std::uint16_t deviceId, const std::wstring& path) {
    const auto scanned = scanned_.find(path);
    if (scanned == scanned_.end()) return false;
    UniqueKernelHandle device = source_->Open(path);
    if (!device) return false;
    auto collection = std::make_shared<CollectionIo>(deviceId, std::move(device), scanned->second.Lengths,
                                                     static_cast<CollectionIo::Sink&>(*this));
    if (!collection->StartReading()) return false;
    std::lock_guard lock(collectionsMutex_);
    collections_[deviceId] = std::move(collection);
    return true;
}

void MonitorSession::Close(std::uint16_t deviceId) {
    std::shared_ptr<CollectionIo> closing;
    {
        std::lock_guard lock(collectionsMutex_);
        const auto found = collections_.find(deviceId);
        if (found == collections_.end()) return;
        closing = std::move(found->second);
        collections_.erase(found);
    }
    closing.reset();  // ends the reader, unless a write on another thread still holds it
    reports_.Discard(deviceId);
}

void MonitorSession::Notify(bool opened, std::uint16_t deviceId) {
    if (target_) PostMessageW(target_, message_, hid::kMonitorEvent, hid::MonitorLParam(opened, deviceId));
}

}  // namespace hiddevice
