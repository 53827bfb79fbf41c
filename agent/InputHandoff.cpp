#include "InputHandoff.h"

#include <algorithm>
#include <utility>

void InputHandoff::Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
}

void InputHandoff::Close() {
    std::lock_guard lock(mutex_);
    open_ = false;
    reports_.clear();
    wakePending_ = false;
}

InputHandoff::Offered InputHandoff::Offer(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length,
                                          const std::function<bool()>& wake) {
    std::lock_guard lock(mutex_);
    if (!open_) return Offered::Closed;
    // A flood keeps the reports already waiting; the newest are the ones lost.
    if (reports_.size() >= capacity_) {
        ++dropped_;
        return Offered::Dropped;
    }
    HandedOffReport& queued = reports_.emplace_back();
    queued.DeviceId = deviceId;
    queued.Length = length;
    queued.Bytes.assign(report, report + std::max(length, minBuffer_));
    // A lost wake-up would strand the queue: the next report asks again.
    if (!wakePending_) wakePending_ = wake();
    return Offered::Queued;
}

std::optional<HandedOffReport> InputHandoff::Take() {
    std::lock_guard lock(mutex_);
    if (reports_.empty()) {
        wakePending_ = false;
        return std::nullopt;
    }
    HandedOffReport report = std::move(reports_.front());
    reports_.pop_front();
    return report;
}

std::size_t InputHandoff::TakeDropped() {
    std::lock_guard lock(mutex_);
    return std::exchange(dropped_, 0);
}

void InputHandoff::WakeForRest(const std::function<bool()>& wake) {
    std::lock_guard lock(mutex_);
    wakePending_ = open_ && !reports_.empty() && wake();
}
