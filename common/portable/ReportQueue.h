#pragma once
// Input reports on their way from the threads that receive them to the one thread that
// handles them: from the HID library's reader threads to its caller's thread, and from a
// library's own thread to the agent's window. The queue carries copies and is bounded: a
// flood loses the newest reports, counted, instead of growing memory without end. The
// consumer is woken once per batch by a wake function the producer passes; it runs under
// the queue's lock, so a wake-up is neither lost nor sent twice. Once closed, nothing
// enters and no wake-up is sent: the window it woke may be gone.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

// Reports the HID library keeps for its caller; the agent keeps twice as many behind it.
inline constexpr std::size_t kLibraryReportCapacity = 512;

struct QueuedReport {
    std::uint32_t DeviceId = 0;
    std::uint32_t Length = 0;         // as the device or the library reported it
    std::vector<std::uint8_t> Bytes;  // never shorter than the queue's minimum buffer
};

class ReportQueue {
public:
    enum class Offered { Queued, Dropped, Closed };
    // Sends the wake-up; false when it could not be sent.
    using Wake = std::function<bool()>;

    // Every report's bytes are padded to minBuffer: readers may look at a whole short report.
    ReportQueue(std::size_t capacity, std::size_t minBuffer) : capacity_(capacity), minBuffer_(minBuffer) {}

    // Copies bytes as a report of length; a lost wake-up is asked for again by the next.
    Offered Offer(std::uint32_t deviceId, std::span<const std::uint8_t> bytes, std::uint32_t length, const Wake& wake);
    // The oldest report; nothing when the queue is empty, which ends the batch.
    std::optional<QueuedReport> Take();
    // The consumer stops before the queue is empty, so that a producer that never stops
    // cannot hold it: a wake-up is asked for the rest.
    void WakeForRest(const Wake& wake);
    // Forgets the reports of a device that went.
    void Discard(std::uint32_t deviceId);
    // How many reports were dropped, the queue being full, since this was last asked.
    std::size_t TakeDropped();

    // Refuses every later report, forgets the queued ones, and returns only once no
    // wake-up is being sent. Open takes reports again.
    void Close();
    void Open();

private:
    const std::size_t capacity_;
    const std::size_t minBuffer_;
    std::mutex mutex_;
    std::deque<QueuedReport> reports_;
    bool open_ = true;
    bool wakePending_ = false;
    std::size_t dropped_ = 0;
};
