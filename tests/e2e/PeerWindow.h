#pragma once
// A top-level window of this test process that stands in for a program the agent talks
// to (the settings tool, the display program, an application under the pointer) and
// records the private messages (WM_USER..0xBFFF), keys and wheel turns it receives.
#include <windows.h>

#include <string>
#include <vector>

struct PeerMessage {
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
    bool operator==(const PeerMessage&) const = default;
};

class PeerWindow {
public:
    explicit PeerWindow(const wchar_t* title, const wchar_t* className = L"Tern7PeerWindow");
    ~PeerWindow();
    PeerWindow(const PeerWindow&) = delete;
    PeerWindow& operator=(const PeerWindow&) = delete;

    HWND Handle() const { return window_; }
    // Shows the window over rect, in front, with the keyboard focus.
    void ShowInFront(const RECT& rect) const;
    const std::vector<PeerMessage>& Received() const { return received_; }
    // Pumps until message has arrived count times in all; false on timeout.
    bool WaitFor(UINT message, int count = 1, DWORD timeoutMs = 10000) const;
    int Count(UINT message) const;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    std::vector<PeerMessage> received_;
};
