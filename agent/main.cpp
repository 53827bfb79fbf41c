#include <windows.h>

#include "CorvidhidApp.h"
#include "SystemLibraries.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RestrictDllSearch();
    CCorvidhidApp app;
    return app.Run();
}
