// HidDevice.dll: the agent's ordinals over the Windows HID stack.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "HidCollectionSource.h"
#include "HidDeviceContract.h"
#include "MonitorSession.h"

namespace {

using hiddevice::MonitorSession;

struct LibraryState {
    std::mutex mutex;
    std::optional<hid::DeviceFilter> filter;
    std::shared_ptr<MonitorSession> session;
    std::atomic<hid::InputCallback> callback{nullptr};
};

// Deliberately never destroyed: at process exit the loader lock is held, and a session
// still running then must not join its readers from a DLL's static destructor.
LibraryState& State() {
    static LibraryState* state = new LibraryState;
    return *state;
}

std::shared_ptr<MonitorSession> TakeSession() {
    std::lock_guard lock(State().mutex);
    return std::move(State().session);
}

std::shared_ptr<MonitorSession> CurrentSession() {
    std::lock_guard lock(State().mutex);
    return State().session;
}

}  // namespace

extern "C" {

std::int32_t __stdcall StartMonitoring(void* window, std::uint32_t message) {
    // A second start without a stop replaces the first session.
    if (const auto previous = TakeSession()) previous->Stop();
    hiddevice::CollectionFilter filter;
    {
        std::lock_guard lock(State().mutex);
        if (State().filter) filter = hiddevice::CollectionFilter(*State().filter);
    }
    auto session =
        std::make_shared<MonitorSession>(static_cast<HWND>(window), message, std::move(filter),
                                         std::make_unique<hiddevice::HidCollectionSource>(), State().callback);
    const bool opened = session->Start();
    std::lock_guard lock(State().mutex);
    State().session = std::move(session);
    return opened ? 1 : 0;
}

void __stdcall StopMonitoring() {
    if (const auto session = TakeSession()) session->Stop();
}

// On failure the thread's last error says why, as after a system call.
std::int32_t __stdcall WriteReport(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length) {
    const auto session = CurrentSession();
    if (deviceId > 0xFFFF || !session) {
        SetLastError(ERROR_DEVICE_NOT_CONNECTED);
        return 0;
    }
    return session->Write(static_cast<std::uint16_t>(deviceId), report, length) ? 1 : 0;
}

// A null filter leaves the last one in place.
void __stdcall SetDeviceFilter(const hid::DeviceFilter* filter) {
    if (!filter) return;
    std::lock_guard lock(State().mutex);
    State().filter = *filter;
}

void __stdcall SetInputCallback(hid::InputCallback callback) { State().callback.store(callback); }

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    // Unloaded by FreeLibrary (not by process exit): the window class must not outlive
    // the code of its window procedure.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) MonitorSession::UnregisterWindowClass(instance);
    return TRUE;
}
