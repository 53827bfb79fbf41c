#include "HidTestSupport.h"

#include <dbt.h>
#include <tlhelp32.h>

#include "MonitorSession.h"
#include "TestFiles.h"
#include "TestProcess.h"

namespace {

DWORD CountThreads() {
    const UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return 0;
    DWORD count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot.get(), &entry); more; more = Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    }
    return count;
}

}  // namespace

std::wstring BuiltLibraryPath() { return DistFolder() + L"HidDevice.dll"; }

ProcessHoldings CountHoldings() {
    return {CountOpenHandles(), GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
            GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), CountThreads()};
}

std::vector<HWND> MonitorWindows(DWORD processId) {
    std::vector<HWND> windows;
    for (HWND window = nullptr;
         (window = FindWindowExW(HWND_MESSAGE, window, hiddevice::kMonitorWindowClass, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) windows.push_back(window);
    }
    return windows;
}

void AnnounceDeviceChange(HWND monitorWindow, WPARAM event) {
    DEV_BROADCAST_DEVICEINTERFACE_W arrival{};
    arrival.dbcc_size = sizeof arrival;
    arrival.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    SendMessageW(monitorWindow, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&arrival));
}
