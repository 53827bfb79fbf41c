#pragma once
// Which of the virtual mouse's HID collections the system lists now, as any program finds
// them: SetupAPI's present HID interfaces whose paths name the mouse.
#include <windows.h>

#include <cstdint>

namespace virtualmouse {

// How many HID interfaces of that vendor and the mouse's product are present.
std::uint32_t CountPresentCollections(std::uint16_t vendorId);

// Waits until exactly `count` are present; false when the time ran out first.
bool WaitForCollections(std::uint16_t vendorId, std::uint32_t count, DWORD timeoutMs);

}  // namespace virtualmouse
