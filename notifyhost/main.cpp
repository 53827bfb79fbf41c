#include <windows.h>

#include "CorvidtraApp.h"
#include "SystemLibraries.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RestrictDllSearch();
    CCorvidtraApp app;
    return app.Run();
}
