#include <windows.h>

#include "SetwellApp.h"
#include "SystemLibraries.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Its file dialog loads shell extensions: none from the folder it was started in.
    RestrictDllSearch();
    CSetwellApp app;
    return app.Run();
}
