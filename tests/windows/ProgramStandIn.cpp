// Stands in for programs that the agent starts. Every start is recorded, with the tick
// count, in "<name>.log" beside the program. Named notifyhost.exe it also acts as the
// tray companion: one instance with the tray companion's window, recording when it was
// told to close. Under any other name it ends at once.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ModulePaths.h"
#include "PathText.h"
#include "ProgramNames.h"
#include "ProgramStandIn.h"

namespace {

std::wstring LogPath() {
    std::wstring path = ModuleFileName();
    const auto dot = path.find_last_of(L'.');
    if (dot != std::wstring::npos) path.resize(dot);
    return path + L".log";
}

void Record(const char* event) {
    if (FILE* file = _wfopen(LogPath().c_str(), L"a")) {
        std::fprintf(file, "%s %llu\n", event, static_cast<unsigned long long>(GetTickCount64()));
        std::fclose(file);
    }
}

bool NamedNotifyHost() {
    const std::wstring path = ModuleFileName();
    const std::wstring name = path.substr(FolderOf(path).size());
    return _wcsicmp(name.c_str(), names::kNotifyHostExe) == 0;
}

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) Record("closed");
    if (message == kStandInMark) Record("mark");
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    Record("launch");
    if (!NamedNotifyHost()) return 0;
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, names::kNotifyHostMutex);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        Record("refused");
        return 0;
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"NotifyHostStandIn";
    RegisterClassW(&windowClass);
    CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, names::kNotifyHostWindowTitle, WS_POPUP, 0, 0, 0, 0,
                    nullptr, nullptr, instance, nullptr);
    Record("running");
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    CloseHandle(mutex);
    return 0;
}
