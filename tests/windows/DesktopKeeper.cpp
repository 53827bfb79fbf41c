// Keeps the Wine session's desktop in use for as long as the session runs. Wine closes an
// unused desktop about a second after its last window goes, and the next program that
// makes a window starts a new desktop process that inherits that program's standard
// output: ctest, reading that output, then waits for the desktop process to end, which
// it does not while other programs keep the desktop busy. Started by the session with its
// output on /dev/null, this one hidden window means the desktop never closes. Given a file
// name, it makes that file once its window is there: until then the first test program
// with a window could start the desktop itself.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR readyFile, int) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"Tern7DesktopKeeper";
    if (!RegisterClassW(&windowClass)) return 1;
    if (!CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr))
        return 1;
    if (readyFile && *readyFile) {
        const HANDLE ready = CreateFileW(readyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (ready != INVALID_HANDLE_VALUE) CloseHandle(ready);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
