#pragma once
// A message-only window that brings work to one thread: whatever any thread posts to it
// is handled on the thread that created it.
#include <windows.h>

#include <functional>

class MessageWindow {
public:
    // Handles a message and sets result; false leaves it to default processing.
    using Handler = std::function<bool(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    MessageWindow() = default;
    ~MessageWindow() { Destroy(); }
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // On the thread that is to handle the messages. The class is registered in the module
    // holding this code on first use; that module unregisters it when it unloads.
    bool Create(const wchar_t* className, Handler handler);
    // From now on the handler gets nothing. The window can only be destroyed on its own
    // thread; from any other thread it is asked to close itself. Safe to repeat.
    void Destroy();

    // Null before Create and after Destroy.
    HWND Get() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Handler handler_;
    HWND window_ = nullptr;
    DWORD thread_ = 0;
};
