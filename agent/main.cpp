#include <windows.h>

#include "CorvidhidApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CCorvidhidApp app;
    return app.Run();
}
