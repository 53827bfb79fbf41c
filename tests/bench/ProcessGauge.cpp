#include "ProcessGauge.h"

#include <psapi.h>

#include "BenchFigures.h"
#include "Handles.h"

namespace {

// Handle values are multiples of four from 4 up; a process this small stays far below.
constexpr ULONG_PTR kHighestHandleProbed = 4 * 16384;

// Wine answers GetProcessHandleCount with 0, which no live process has: there each
// handle value is tried by duplicating it out of the process.
long long ProbeHandleCount(HANDLE process) {
    long long count = 0;
    for (ULONG_PTR value = 4; value <= kHighestHandleProbed; value += 4) {
        HANDLE copy = nullptr;
        if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0, FALSE,
                            DUPLICATE_SAME_ACCESS)) {
            CloseHandle(copy);
            ++count;
        }
    }
    return count;
}

struct WindowCount {
    DWORD processId;
    long long count = 0;
};

BOOL CALLBACK CountChild(HWND window, LPARAM state) {
    auto* windows = reinterpret_cast<WindowCount*>(state);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == windows->processId) ++windows->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM state) {
    CountChild(window, state);
    EnumChildWindows(window, &CountChild, state);
    return TRUE;
}

long long CountWindows(DWORD processId) {
    WindowCount windows{processId};
    EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
         window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
        CountChild(window, reinterpret_cast<LPARAM>(&windows));
    }
    return windows.count;
}

}  // namespace

bool MeasureProcess(DWORD processId, ResourceUse& use) {
    UniqueKernelHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE, FALSE, processId));
    if (!process) return false;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        return false;
    use.WorkingSetKb = static_cast<double>(memory.WorkingSetSize) / 1024.0;
    use.PrivateKb = static_cast<double>(memory.PrivateUsage) / 1024.0;
    DWORD handles = 0;
    GetProcessHandleCount(process.get(), &handles);
    use.Handles = handles != 0 ? handles : ProbeHandleCount(process.get());
    use.GdiObjects = GetGuiResources(process.get(), GR_GDIOBJECTS);
    use.UserObjects = GetGuiResources(process.get(), GR_USEROBJECTS);
    use.Windows = CountWindows(processId);
    return true;
}

ResourceUse Growth(const ResourceUse& before, const ResourceUse& after) {
    return {after.WorkingSetKb - before.WorkingSetKb, after.PrivateKb - before.PrivateKb,
            after.Handles - before.Handles,           after.GdiObjects - before.GdiObjects,
            after.UserObjects - before.UserObjects,   after.Windows - before.Windows};
}

std::string Describe(const ResourceUse& use) {
    return Format("ws %6.0f KB  private %6.0f KB  handles %4lld  gdi %4lld  user %4lld  windows %3lld",
                  use.WorkingSetKb, use.PrivateKb, use.Handles, use.GdiObjects, use.UserObjects, use.Windows);
}
