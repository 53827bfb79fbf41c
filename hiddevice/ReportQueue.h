#pragma once
// Input reports on their way from the reader threads to the thread that called the
// library's start. The queue is bounded: a device that floods reports loses the newest
// ones instead of growing memory without end.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace hiddevice {

struct InputReport {
    std::uint16_t DeviceId = 0;
    std::uint32_t Length = 0;         // as the device sent it
    std::vector<std::uint8_t> Bytes;  // never shorter than hid::kMinInputBuffer
};

class ReportQueue {
public:
    enum class Pushed { Queued, QueuedWakeConsumer, Dropped };

    explicit ReportQueue(std::size_t capacity) : capacity_(capacity) {}

    // The consumer is asked to wake once per batch: when it has drained the queue, the
    // next report asks again.
    Pushed Push(std::uint16_t deviceId, std::span<const std::uint8_t> report);
    // Nothing when the queue is empty; the consumer then counts as drained.
    std::optional<InputReport> Pop();
    // The wake-up could not be sent: the next report asks again.
    void WakeLost();
    // Forgets the reports of a collection that closed.
    void Discard(std::uint16_t deviceId);
    void Clear();

private:
    const std::size_t capacity_;
    std::mutex mutex_;
    std::deque<InputReport> reports_;
    bool wakePending_ = false;
};

}  // namespace hiddevice
