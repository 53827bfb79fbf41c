// HidDevice.dll of the simulated mouse: the agent's ordinals, served by the simulation
// server over its pipe. Every call is also reported to the server's log, best effort.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "ConfiguredPipe.h"
#include "DeviceFilterRules.h"
#include "HidDeviceContract.h"
#include "PipeConnection.h"
#include "SimMonitorSession.h"
#include "SimProtocol.h"

namespace {

// A write must never hold up the agent for longer than the real device's timeout.
constexpr DWORD kWriteTimeoutMs = 1000;
constexpr DWORD kReportTimeoutMs = 500;

struct LibraryState {
    std::mutex mutex;
    std::optional<hid::DeviceFilter> filter;
    std::unique_ptr<simmouse::MonitorSession> session;
    std::atomic<hid::InputCallback> callback{nullptr};
};

// Deliberately never destroyed: at process exit the loader lock is held, and a session
// still running then must not be joined from a DLL's static destructor.
LibraryState& State() {
    static LibraryState* state = new LibraryState;
    return *state;
}

void ReportCall(const std::string& description) {
    simmouse::AskServer(simmouse::ConfiguredPipePath(), "ordinal " + description, kReportTimeoutMs);
}

std::unique_ptr<simmouse::MonitorSession> TakeSession() {
    std::lock_guard lock(State().mutex);
    return std::move(State().session);
}

}  // namespace

extern "C" {

std::int32_t __stdcall StartMonitoring(void* window, std::uint32_t message) {
    // A second start without a stop replaces the first session.
    if (auto previous = TakeSession()) previous->Stop();
    std::optional<hid::DeviceFilter> filter;
    {
        std::lock_guard lock(State().mutex);
        filter = State().filter;
    }
    auto session = std::make_unique<simmouse::MonitorSession>(static_cast<HWND>(window), message, filter,
                                                              simmouse::ConfiguredPipePath(), State().callback);
    const bool opened = session->Start();
    {
        std::lock_guard lock(State().mutex);
        State().session = std::move(session);
    }
    ReportCall(std::string("2 -> ") + (opened ? "1" : "0"));
    return opened ? 1 : 0;
}

void __stdcall StopMonitoring() {
    if (auto session = TakeSession()) session->Stop();
    ReportCall("3");
}

std::int32_t __stdcall WriteReport(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length) {
    if (!report || length != hid::kOutputReportLength) return 0;
    {
        std::lock_guard lock(State().mutex);
        if (!State().session || !State().session->IsOpen(deviceId)) return 0;
    }
    const std::string request =
        "write " + std::to_string(deviceId) + " " + simmouse::FormatHex({report, static_cast<std::size_t>(length)});
    const auto answer = simmouse::AskServer(simmouse::ConfiguredPipePath(), request, kWriteTimeoutMs);
    return answer && answer->ok ? 1 : 0;
}

void __stdcall SetDeviceFilter(const hid::DeviceFilter* filter) {
    if (filter) {
        std::lock_guard lock(State().mutex);
        State().filter = *filter;
    }
    ReportCall("7 " + simmouse::DescribeFilter(filter));
}

void __stdcall SetInputCallback(hid::InputCallback callback) {
    State().callback.store(callback);
    ReportCall(callback ? "8" : "8 null");
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    // Unloaded by FreeLibrary (not by process exit): the window class must not outlive
    // the code of its window procedure.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) simmouse::MonitorSession::UnregisterWindowClass(instance);
    return TRUE;
}
