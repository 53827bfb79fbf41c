// The least a Win32 program with a window costs: one hidden window, a message loop, and
// an exit when the window is closed. The agent's start-up and memory are compared with it.
#include <windows.h>

namespace {

constexpr wchar_t kClassName[] = L"Tern7BenchBareWindow";

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassW(&windowClass)) return 1;
    if (!CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, kClassName, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance,
                         nullptr))
        return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
