#include "SimMonitorSession.h"

#include <algorithm>

#include "DeviceFilterRules.h"
#include "MouseModel.h"

namespace simmouse {

namespace {

constexpr wchar_t kWindowClass[] = L"Tern7SimMouseMonitor";
constexpr UINT kDeliverMessage = WM_APP + 1;
// Connecting inside ordinal 2 must stay short; the reader keeps trying afterwards.
constexpr DWORD kFirstConnectTimeoutMs = 500;
constexpr DWORD kRetryIntervalMs = 250;
constexpr DWORD kStateTimeoutMs = 1000;

// A server that went away takes its mouse with it.
MonitorEvent ServerGone() { return MonitorEvent::Device(false, 0, 0); }

}  // namespace

MonitorSession::MonitorSession(HWND target, UINT message, std::optional<hid::DeviceFilter> filter,
                               std::wstring pipePath, const std::atomic<hid::InputCallback>& callback)
    : target_(target),
      message_(message),
      filter_(filter),
      pipePath_(std::move(pipePath)),
      callback_(callback),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      deliveriesWaiting_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

MonitorSession::~MonitorSession() { Stop(); }

void MonitorSession::UnregisterWindowClass(HINSTANCE module) { UnregisterClassW(kWindowClass, module); }

bool MonitorSession::Start() {
    if (!stop_ || !deliveriesWaiting_) return false;
    const auto handler = [this](HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (message != kDeliverMessage) return false;
        DeliverQueued();
        result = 0;
        return true;
    };
    if (!window_.Create(kWindowClass, handler)) return false;

    std::optional<MonitorEvent> state;
    auto connection = ConnectMonitor(kFirstConnectTimeoutMs, state);
    if (state) Apply(*state);
    reader_ = std::thread(&MonitorSession::ReadEvents, this, std::move(connection));
    return IsOpen(kMainCollection);
}

void MonitorSession::Stop() {
    if (stopped_) return;
    stopped_ = true;
    if (stop_) SetEvent(stop_.get());
    if (reader_.joinable()) reader_.join();
    {
        std::lock_guard lock(queueMutex_);
        queue_.clear();
    }
    CloseCollections();
    window_.Destroy();
}

bool MonitorSession::IsOpen(std::uint32_t collection) const {
    std::lock_guard lock(openMutex_);
    return std::find(open_.begin(), open_.end(), collection) != open_.end();
}

std::optional<PipeConnection> MonitorSession::ConnectMonitor(DWORD timeoutMs, std::optional<MonitorEvent>& state) {
    auto connection = PipeConnection::Connect(pipePath_, timeoutMs);
    if (!connection) return std::nullopt;
    const HANDLE wake[] = {stop_.get()};
    std::string line;
    if (connection->Write("monitor\n", wake, kStateTimeoutMs).status != PipeConnection::Status::Done ||
        connection->ReadLine(line, wake, kStateTimeoutMs).status != PipeConnection::Status::Done) {
        return std::nullopt;
    }
    // The first line states the device; anything else is not our server.
    state = ParseMonitorEvent(line);
    if (!state || state->kind != MonitorEvent::Kind::Device) {
        state.reset();
        return std::nullopt;
    }
    return connection;
}

void MonitorSession::ReadEvents(std::optional<PipeConnection> connection) {
    const HANDLE wake[] = {stop_.get(), deliveriesWaiting_.get()};
    for (;;) {
        if (!connection) {
            if (WaitForSingleObject(stop_.get(), kRetryIntervalMs) != WAIT_TIMEOUT) return;
            std::optional<MonitorEvent> state;
            connection = ConnectMonitor(kRetryIntervalMs, state);
            if (state) Queue(std::move(*state));
            continue;
        }
        std::string line;
        const auto result = connection->ReadLine(line, wake, INFINITE);
        const bool read = result.status == PipeConnection::Status::Done;
        bool alive = read;
        if (result.status == PipeConnection::Status::Woken) {
            if (result.wokenBy == 0) return;  // stopped
            alive = SendDeliveries(*connection);
        }
        if (!alive) {
            connection.reset();
            Queue(ServerGone());
            continue;
        }
        if (!read) continue;
        if (auto event = ParseMonitorEvent(line)) Queue(std::move(*event));
    }
}

void MonitorSession::QueueDelivery(std::string line) {
    {
        std::lock_guard lock(queueMutex_);
        deliveries_.push_back(std::move(line));
    }
    SetEvent(deliveriesWaiting_.get());
}

bool MonitorSession::SendDeliveries(PipeConnection& connection) {
    std::vector<std::string> lines;
    {
        std::lock_guard lock(queueMutex_);
        lines.swap(deliveries_);
    }
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    const HANDLE wake[] = {stop_.get()};
    return connection.Write(text, wake, kStateTimeoutMs).status == PipeConnection::Status::Done;
}

void MonitorSession::Queue(MonitorEvent event) {
    {
        std::lock_guard lock(queueMutex_);
        queue_.push_back(std::move(event));
    }
    PostMessageW(window_.Get(), kDeliverMessage, 0, 0);
}

void MonitorSession::DeliverQueued() {
    for (;;) {
        MonitorEvent event;
        {
            std::lock_guard lock(queueMutex_);
            if (queue_.empty()) return;
            event = std::move(queue_.front());
            queue_.pop_front();
        }
        Apply(event);
    }
}

void MonitorSession::Apply(const MonitorEvent& event) {
    if (event.kind == MonitorEvent::Kind::Device) {
        const bool present =
            event.attached && filter_ && FilterSelectsMouse(*filter_, event.vendorId, event.productId);
        if (present && !IsOpen(kMainCollection)) OpenCollections();
        if (!present) CloseCollections();
        return;
    }
    const hid::InputCallback callback = callback_.load();
    if (!callback || !IsOpen(event.collection)) return;
    // Readers may look at a whole short report: never hand out less than the minimum.
    std::vector<std::uint8_t> buffer(event.report);
    if (buffer.size() < hid::kMinInputBuffer) buffer.resize(hid::kMinInputBuffer, 0);
    LARGE_INTEGER calledAt{};
    QueryPerformanceCounter(&calledAt);
    callback(event.collection, buffer.data(), static_cast<std::uint32_t>(event.report.size()));
    if (event.timed) QueueDelivery(FormatDelivery(event.collection, calledAt.QuadPart));
}

void MonitorSession::OpenCollections() {
    for (std::uint32_t collection : {kMainCollection, kSecondCollection}) {
        {
            std::lock_guard lock(openMutex_);
            open_.push_back(collection);
        }
        Notify(true, collection);
    }
}

void MonitorSession::CloseCollections() {
    std::vector<std::uint32_t> closing;
    {
        std::lock_guard lock(openMutex_);
        closing.swap(open_);
    }
    // Last opened, first closed.
    for (auto it = closing.rbegin(); it != closing.rend(); ++it) Notify(false, *it);
}

void MonitorSession::Notify(bool opened, std::uint32_t collection) const {
    if (target_) {
        PostMessageW(target_, message_, hid::kMonitorEvent,
                     hid::MonitorLParam(opened, static_cast<std::uint16_t>(collection)));
    }
}

}  // namespace simmouse
