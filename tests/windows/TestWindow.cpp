#include "TestWindow.h"

#include <algorithm>
#include <utility>

#include "TestProcess.h"

TestWindow::TestWindow(const wchar_t* title, Options options) : onMessage_(std::move(options.OnMessage)) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &TestWindow::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = options.ClassName;
    RegisterClassW(&windowClass);  // fails harmlessly when another window registered it before
    const DWORD exStyle = options.Parent == HWND_MESSAGE ? 0 : WS_EX_TOOLWINDOW;
    window_ = CreateWindowExW(exStyle, options.ClassName, title, WS_POPUP, 0, 0, 10, 10, options.Parent, nullptr,
                              windowClass.hInstance, this);
}

TestWindow::~TestWindow() {
    if (window_) DestroyWindow(window_);
}

void TestWindow::ShowInFront(const RECT& rect) const {
    SetWindowPos(window_, HWND_TOP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_SHOWWINDOW);
    SetForegroundWindow(window_);
    SetFocus(window_);
}

bool TestWindow::WaitFor(UINT message, int count, DWORD timeoutMs) const {
    return PumpUntil([&] { return Count(message) >= count; }, timeoutMs);
}

int TestWindow::Count(UINT message) const {
    return static_cast<int>(std::count_if(received_.begin(), received_.end(),
                                          [message](const ReceivedMessage& m) { return m.Message == message; }));
}

LRESULT CALLBACK TestWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) self->window_ = nullptr;
    const bool recorded = (message >= WM_USER && message < 0xC000) || message == WM_KEYDOWN || message == WM_KEYUP ||
                          message == WM_MOUSEWHEEL;
    if (recorded) self->received_.push_back({message, wParam, lParam});
    LRESULT result = 0;
    if (self->onMessage_ && self->onMessage_(window, message, wParam, lParam, result)) return result;
    return DefWindowProcW(window, message, wParam, lParam);
}
