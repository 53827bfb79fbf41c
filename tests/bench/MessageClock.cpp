#include "MessageClock.h"

#include <algorithm>
#include <chrono>

#include "BenchFigures.h"

namespace {

constexpr wchar_t kClassName[] = L"Tern7BenchMessageClock";

}  // namespace

MessageClock::MessageClock(const wchar_t* title, std::vector<UINT> awaited) : awaited_(std::move(awaited)) {
    thread_ = std::thread(&MessageClock::Run, this, title);
    std::unique_lock lock(mutex_);
    arrived_.wait(lock, [this] { return started_; });
}

MessageClock::~MessageClock() {
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
}

void MessageClock::Run(const wchar_t* title) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &MessageClock::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);  // fails harmlessly when another clock registered it
    const HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        windowClass.hInstance, this);
    {
        std::lock_guard lock(mutex_);
        window_ = window;
        started_ = true;
    }
    arrived_.notify_all();
    if (!window) return;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

LRESULT CALLBACK MessageClock::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    } else if (message == WM_DESTROY) {
        PostQuitMessage(0);
    } else if (auto* self = reinterpret_cast<MessageClock*>(GetWindowLongPtrW(window, GWLP_USERDATA))) {
        self->Record(message, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void MessageClock::Record(UINT message, WPARAM wParam, LPARAM lParam) {
    const long long now = CounterNow();
    if (std::find(awaited_.begin(), awaited_.end(), message) == awaited_.end()) return;
    {
        std::lock_guard lock(mutex_);
        received_.push_back({message, wParam, lParam, now});
    }
    arrived_.notify_all();
}

std::vector<StampedMessage> MessageClock::Received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::size_t MessageClock::Count() const {
    std::lock_guard lock(mutex_);
    return received_.size();
}

bool MessageClock::WaitForCount(std::size_t count, DWORD timeoutMs) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return received_.size() >= count; });
}

void MessageClock::Clear() {
    std::lock_guard lock(mutex_);
    received_.clear();
}
