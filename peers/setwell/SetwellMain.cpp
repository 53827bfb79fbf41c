#include <windows.h>

#include "SetwellApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CSetwellApp app;
    return app.Run();
}
