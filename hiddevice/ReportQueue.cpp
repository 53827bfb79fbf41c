#include "ReportQueue.h"

#include <algorithm>

#include "HidDeviceContract.h"

namespace hiddevice {

ReportQueue::Pushed ReportQueue::Push(std::uint16_t deviceId, std::span<const std::uint8_t> report) {
    InputReport queued{deviceId, static_cast<std::uint32_t>(report.size()), {}};
    // Readers of the callback may look at a whole short report.
    queued.Bytes.assign(report.begin(), report.end());
    if (queued.Bytes.size() < hid::kMinInputBuffer) queued.Bytes.resize(hid::kMinInputBuffer, 0);

    std::lock_guard lock(mutex_);
    if (reports_.size() >= capacity_) return Pushed::Dropped;
    reports_.push_back(std::move(queued));
    if (wakePending_) return Pushed::Queued;
    wakePending_ = true;
    return Pushed::QueuedWakeConsumer;
}

std::optional<InputReport> ReportQueue::Pop() {
    std::lock_guard lock(mutex_);
    if (reports_.empty()) {
        wakePending_ = false;
        return std::nullopt;
    }
    InputReport report = std::move(reports_.front());
    reports_.pop_front();
    return report;
}

void ReportQueue::WakeLost() {
    std::lock_guard lock(mutex_);
    wakePending_ = false;
}

void ReportQueue::Discard(std::uint16_t deviceId) {
    std::lock_guard lock(mutex_);
    std::erase_if(reports_, [&](const InputReport& report) { return report.DeviceId == deviceId; });
}

void ReportQueue::Clear() {
    std::lock_guard lock(mutex_);
    reports_.clear();
    wakePending_ = false;
}

}  // namespace hiddevice
