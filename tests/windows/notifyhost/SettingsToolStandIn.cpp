// Stands in for the settings tool beside notifyhost.exe in tests: a window with the
// tool's title that can be minimised and restored, and for every start a line
// "launch args=[...] show=N" in Setwell.log beside the program.
#include <windows.h>

#include <cstdio>
#include <string>

#include "ModulePaths.h"
#include "PathText.h"
#include "ProgramNames.h"

namespace {

std::string Utf8(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

void RecordLaunch(const wchar_t* arguments, int show) {
    const std::wstring log = JoinPath(ProgramFolder(), L"Setwell.log");
    if (FILE* file = _wfopen(log.c_str(), L"a")) {
        std::fprintf(file, "launch args=[%s] show=%d\n", Utf8(arguments).c_str(), show);
        std::fclose(file);
    }
}

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int show) {
    RecordLaunch(arguments, show);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = L"SettingsToolStandIn";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, names::kSettingsToolWindowTitle,
                                        WS_OVERLAPPEDWINDOW, 300, 200, 320, 200, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    return 0;
}
