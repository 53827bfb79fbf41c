#include "MessageWindow.h"

#include "WindowClass.h"

bool MessageWindow::Create(const wchar_t* className, Handler handler) {
    const HINSTANCE module = ModuleOf(reinterpret_cast<const void*>(&MessageWindow::WindowProc));
    if (window_ || !RegisterWindowClass(className, &MessageWindow::WindowProc, module)) return false;
    handler_ = std::move(handler);
    thread_ = GetCurrentThreadId();
    // Set at WM_NCCREATE already, for the handler; null again when creation fails.
    window_ = CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, this);
    return window_ != nullptr;
}

void MessageWindow::Destroy() {
    if (!window_) return;
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    if (GetCurrentThreadId() == thread_) {
        DestroyWindow(window_);
    } else {
        PostMessageW(window_, WM_CLOSE, 0, 0);
    }
    window_ = nullptr;
}

LRESULT CALLBACK MessageWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* owner = static_cast<MessageWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        owner->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* owner = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    LRESULT result = 0;
    if (owner && owner->handler_(window, message, wParam, lParam, result)) return result;
    return DefWindowProcW(window, message, wParam, lParam);
}
