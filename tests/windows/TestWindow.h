#pragma once
// A window of this test process: it stands in for a program that the one under test talks
// to (the settings tool, the display program, an application under the pointer, the agent)
// and records the private messages (WM_USER..0xBFFF), keys and wheel turns it receives.
// A handler may answer messages as that program would.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct ReceivedMessage {
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
    bool operator==(const ReceivedMessage&) const = default;
};

class TestWindow {
public:
    // Gets each message first; true when it handled it, with the result set.
    using Handler = std::function<bool(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    struct Options {
        const wchar_t* ClassName = L"Tern7TestWindow";
        Handler OnMessage = nullptr;
        // HWND_MESSAGE for a window that only takes messages.
        HWND Parent = nullptr;
    };

    explicit TestWindow(const wchar_t* title) : TestWindow(title, Options{}) {}
    TestWindow(const wchar_t* title, Options options);
    // Destroys the window: call it on the thread that made it.
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Handle() const { return window_; }
    // Shows the window over rect, in front, with the keyboard focus.
    void ShowInFront(const RECT& rect) const;
    const std::vector<ReceivedMessage>& Received() const { return received_; }
    // Pumps until message has arrived count times in all; false on timeout.
    bool WaitFor(UINT message, int count = 1, DWORD timeoutMs = 10000) const;
    int Count(UINT message) const;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    Handler onMessage_;
    std::vector<ReceivedMessage> received_;
};
