// Stands in for the tray companion in tests: a single-instance program with the tray
// companion's window title that records in notifyhost.log beside itself when it was
// launched, whether it ran, and when it was told to close.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ModulePaths.h"
#include "PathText.h"
#include "ProgramNames.h"

namespace {

void Record(const char* event) {
    const std::wstring log = JoinPath(ProgramFolder(), L"notifyhost.log");
    if (FILE* file = _wfopen(log.c_str(), L"a")) {
        std::fprintf(file, "%s %llu\n", event, static_cast<unsigned long long>(GetTickCount64()));
        std::fclose(file);
    }
}

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) Record("closed");
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    Record("launch");
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, names::kNotifyHostMutex);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        Record("refused");
        return 0;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"FakeNotifyHost";
    RegisterClassW(&windowClass);
    CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, names::kNotifyHostWindowTitle, WS_POPUP, 0, 0, 0, 0,
                    nullptr, nullptr, instance, nullptr);
    Record("running");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    CloseHandle(mutex);
    return 0;
}
