#pragma once
// A top-level window standing in for a program the agent posts to (the display program,
// the settings tool). It runs on a thread of its own that does nothing but wait for
// messages, and stamps each awaited message with the performance counter the moment it
// arrives: the counter is one clock for every process on the machine.
#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

struct StampedMessage {
    UINT Message = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    long long Counter = 0;
};

class MessageClock {
public:
    MessageClock(const wchar_t* title, std::vector<UINT> awaited);
    ~MessageClock();
    MessageClock(const MessageClock&) = delete;
    MessageClock& operator=(const MessageClock&) = delete;

    bool Ready() const { return window_ != nullptr; }
    std::vector<StampedMessage> Received() const;
    std::size_t Count() const;
    // Waits until count messages arrived in all; false on timeout.
    bool WaitForCount(std::size_t count, DWORD timeoutMs) const;
    void Clear();

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Run(const wchar_t* title);
    void Record(UINT message, WPARAM wParam, LPARAM lParam);

    const std::vector<UINT> awaited_;
    HWND window_ = nullptr;  // set once before the constructor returns
    std::thread thread_;

    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    bool started_ = false;
    std::vector<StampedMessage> received_;
};
