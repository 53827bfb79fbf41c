// OSD.exe: the on-screen display that the agent starts and posts its notices to.
#include <windows.h>

#include "Handles.h"
#include "OsdWindow.h"
#include "ProgramNames.h"
#include "SingleInstance.h"
#include "SystemLibraries.h"
#include "WinApp.h"

namespace {

class COsdApp : public CWinApp {
protected:
    bool InitInstance() override {
        // The agent may start the display again while an earlier start is coming up.
        if (!TakeSingleInstance(mutex_, names::kOsdMutex)) return false;
        if (!window_.Create()) return false;
        SetMainWindow(window_);
        return true;
    }

private:
    UniqueKernelHandle mutex_;
    COsdWindow window_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RestrictDllSearch();
    COsdApp app;
    return app.Run();
}
