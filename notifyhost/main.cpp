#include <windows.h>

#include "CorvidtraApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CCorvidtraApp app;
    return app.Run();
}
