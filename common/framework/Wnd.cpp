#include "Wnd.h"

#include <utility>

#include "WindowClass.h"

namespace {

constexpr wchar_t kWindowClass[] = L"Tern7Window";

}  // namespace

CWnd::~CWnd() {
    if (!hwnd_) return;
    // The derived part is gone: the window's last messages must not reach this object.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    if (::DestroyWindow(std::exchange(hwnd_, nullptr)) && quitWhenDestroyed_) PostQuitMessage(0);
}

void CWnd::operator delete(CWnd* window, std::destroying_delete_t) {
    window->DestroyWindow();
    // The whole object's storage, wherever this part lies in it.
    void* storage = dynamic_cast<void*>(window);
    window->~CWnd();
    ::operator delete(storage);
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* title, DWORD style, int x, int y, int width, int height, HWND parent,
                    HMENU menu) {
    const HINSTANCE program = GetModuleHandleW(nullptr);
    if (hwnd_ || !RegisterWindowClass(kWindowClass, &CWnd::StaticWindowProc, program)) return false;
    const HWND hwnd =
        CreateWindowExW(exStyle, kWindowClass, title, style, x, y, width, height, parent, menu, program, this);
    return hwnd != nullptr;
}

void CWnd::DestroyWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool CWnd::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void CWnd::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CWnd::OnWindowGone() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    if (quitWhenDestroyed_) PostQuitMessage(0);
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        static_cast<CWnd*>(create->lpCreateParams)->Attach(hwnd);
    }
    auto* window = reinterpret_cast<CWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    if (!window->OnMessage(message, wParam, lParam, result)) result = window->Default(message, wParam, lParam);
    if (message == WM_NCDESTROY) window->OnWindowGone();
    return result;
}
