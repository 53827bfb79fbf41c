// A HidDevice.dll that behaves like a careless library: it calls the input callback from a
// thread of its own, with lengths it should never report, and goes on calling after it was
// told to stop. It reports the mouse's two identifiers open, and among the noise a CPI
// level 2 key and volume-up keys, so a test can see what got through. While its start is
// called, it sends a burst of kBurst keys from another thread: the CPI key, then volume-up.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <thread>

#include "HidDeviceContract.h"

namespace {

std::atomic<hid::InputCallback> Callback{nullptr};
std::atomic<bool> Started{false};

constexpr int kBurst = 2000;

void Call(std::uint8_t code, std::uint32_t length) {
    std::uint8_t buffer[hid::kMinInputBuffer] = {3, code, 0};
    if (const auto callback = Callback.load()) callback(3, buffer, length);
}

void Burst() {
    Call(0x02, 3);  // CPI level 2
    for (int i = 1; i < kBurst; ++i) Call(0xE9, 3);
}

void CallForever() {
    for (;;) {
        Call(0x04, 0xFFFFFFFFu);  // CPI level 4, if the length were believed
        Call(0x04, 1u << 20);
        Call(0xE9, 3);  // volume up
        Sleep(1);
    }
}

}  // namespace

extern "C" {

std::int32_t __stdcall StartMonitoring(void* window, std::uint32_t message) {
    const HWND target = static_cast<HWND>(window);
    PostMessageW(target, message, hid::kMonitorEvent, hid::MonitorLParam(true, 2));
    PostMessageW(target, message, hid::kMonitorEvent, hid::MonitorLParam(true, 3));
    if (!Started.exchange(true)) {
        std::thread(&Burst).join();  // the caller's thread takes none of it meanwhile
        std::thread(&CallForever).detach();
    }
    return 1;
}

void __stdcall StopMonitoring() {}  // keeps calling regardless

std::int32_t __stdcall WriteReport(std::uint32_t, const std::uint8_t*, std::uint32_t) { return 0; }

void __stdcall SetDeviceFilter(const hid::DeviceFilter*) {}

void __stdcall SetInputCallback(hid::InputCallback callback) { Callback.store(callback); }

}  // extern "C"
