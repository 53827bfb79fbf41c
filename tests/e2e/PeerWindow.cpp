#include "PeerWindow.h"

#include <algorithm>

#include "TestProcess.h"

PeerWindow::PeerWindow(const wchar_t* title, const wchar_t* className) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &PeerWindow::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);  // fails harmlessly when a peer registered it before
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW, className, title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

PeerWindow::~PeerWindow() {
    if (window_) DestroyWindow(window_);
}

void PeerWindow::ShowInFront(const RECT& rect) const {
    SetWindowPos(window_, HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_SHOWWINDOW);
    SetForegroundWindow(window_);
    SetFocus(window_);
}

bool PeerWindow::WaitFor(UINT message, int count, DWORD timeoutMs) const {
    return PumpUntil([&] { return Count(message) >= count; }, timeoutMs);
}

int PeerWindow::Count(UINT message) const {
    return static_cast<int>(std::count_if(received_.begin(), received_.end(),
                                          [message](const PeerMessage& m) { return m.Message == message; }));
}

LRESULT CALLBACK PeerWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<PeerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const bool recorded = (message >= WM_USER && message < 0xC000) || message == WM_KEYDOWN ||
                          message == WM_KEYUP || message == WM_MOUSEWHEEL;
    if (self && recorded) self->received_.push_back({message, wParam, lParam});
    return DefWindowProcW(window, message, wParam, lParam);
}
