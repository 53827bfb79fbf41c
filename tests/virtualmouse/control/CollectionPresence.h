#pragma once
// Which of the virtual mouse's HID collections the system lists now, as any program finds
// them: SetupAPI's present HID interfaces whose paths name the mouse.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace virtualmouse {

// The paths of the present HID interfaces of that vendor and the mouse's product, in
// lower case.
std::vector<std::wstring> PresentCollectionPaths(std::uint16_t vendorId);
std::uint32_t CountPresentCollections(std::uint16_t vendorId);
// The path of a child's collection, when it is present.
std::optional<std::wstring> CollectionPath(std::uint16_t vendorId, std::uint32_t child);

// Waits until exactly `count` are present; false when the time ran out first.
bool WaitForCollections(std::uint16_t vendorId, std::uint32_t count, DWORD timeoutMs);

}  // namespace virtualmouse
