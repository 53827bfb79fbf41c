#include "ReportQueue.h"

#include <algorithm>
#include <utility>

ReportQueue::Offered ReportQueue::Offer(std::uint32_t deviceId, std::span<const std::uint8_t> bytes,
                                        std::uint32_t length, const Wake& wake) {
    QueuedReport report{deviceId, length, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
    if (report.Bytes.size() < minBuffer_) report.Bytes.resize(minBuffer_, 0);

    std::lock_guard lock(mutex_);
    if (!open_) return Offered::Closed;
    // A flood keeps the reports already waiting; the newest are the ones lost.
    if (reports_.size() >= capacity_) {
        ++dropped_;
        return Offered::Dropped;
    }
    reports_.push_back(std::move(report));
    if (!wakePending_) wakePending_ = wake();
    return Offered::Queued;
}

std::optional<QueuedReport> ReportQueue::Take() {
    std::lock_guard lock(mutex_);
    if (reports_.empty()) {
        wakePending_ = false;
        return std::nullopt;
    }
    QueuedReport report = std::move(reports_.front());
    reports_.pop_front();
    return report;
}

void ReportQueue::WakeForRest(const Wake& wake) {
    std::lock_guard lock(mutex_);
    wakePending_ = open_ && !reports_.empty() && wake();
}

void ReportQueue::Discard(std::uint32_t deviceId) {
    std::lock_guard lock(mutex_);
    std::erase_if(reports_, [&](const QueuedReport& report) { return report.DeviceId == deviceId; });
}

std::size_t ReportQueue::TakeDropped() {
    std::lock_guard lock(mutex_);
    return std::exchange(dropped_, 0);
}

void ReportQueue::Close() {
    std::lock_guard lock(mutex_);
    open_ = false;
    reports_.clear();
    wakePending_ = false;
}

void ReportQueue::Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
}
