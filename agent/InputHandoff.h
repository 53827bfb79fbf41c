#pragma once
// Input reports that the HID library delivered on a thread other than the agent's GUI
// thread, on their way to that thread. The queue is bounded and carries copies; the GUI
// thread is woken by a message that carries nothing, so a wake-up from anywhere else only
// finds an empty queue. Once closed, nothing enters and no wake-up is sent: the window it
// woke may be gone.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

// The longest input report the mouse sends is far shorter; a longer length is the
// library's error and the report is ignored.
inline constexpr std::uint32_t kMaxInputReportLength = 64;
inline bool AcceptableInputLength(std::uint32_t length) { return length <= kMaxInputReportLength; }

struct HandedOffReport {
    std::uint32_t DeviceId = 0;
    std::uint32_t Length = 0;         // as the library reported it
    std::vector<std::uint8_t> Bytes;  // never shorter than the library's minimum buffer
};

class InputHandoff {
public:
    enum class Offered { Queued, Dropped, Closed };

    InputHandoff(std::size_t capacity, std::uint32_t minBuffer) : capacity_(capacity), minBuffer_(minBuffer) {}

    // Starts taking reports again after Close.
    void Open();
    // Refuses every later report, forgets the queued ones, and returns only once no
    // wake-up is being sent.
    void Close();

    // Copies the report (at least minBuffer bytes of it, as the library guarantees). wake
    // runs under the lock, once per batch, and says whether the wake-up was sent.
    Offered Offer(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length,
                  const std::function<bool()>& wake);
    // The oldest report; nothing when the queue is empty, which ends the batch.
    std::optional<HandedOffReport> Take();
    // The consumer stops before the queue is empty, so that a library that never stops
    // sending cannot hold it: a wake-up is asked for the rest (under the lock, as in Offer).
    void WakeForRest(const std::function<bool()>& wake);
    // How many reports were dropped, the queue being full, since the consumer last asked.
    std::size_t TakeDropped();

private:
    const std::size_t capacity_;
    const std::uint32_t minBuffer_;
    std::mutex mutex_;
    std::deque<HandedOffReport> reports_;
    bool open_ = true;
    bool wakePending_ = false;
    std::size_t dropped_ = 0;
};
