#pragma once
// The virtual mouse's bus driver as a program reaches it: its control interface, found
// through SetupAPI, and one call a request (tests/virtualmouse/driver/VirtualMouseControl.h).
// Each call returns 0 or the system error the driver's answer maps to.
#include <windows.h>
#include <winioctl.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "Handles.h"
#include "VirtualMouseControl.h"

namespace virtualmouse {

class BusControl {
public:
    // Nothing when the driver is not running in this Wine prefix; error says why.
    static std::optional<BusControl> Open(DWORD* error = nullptr);
    // Whether the control interface is there, without opening it.
    static bool Present();

    DWORD Plug(const vmouse_layout& layout) const;
    DWORD Unplug() const;
    // Reports of one length back to back, identifier byte first, as ReadFile returns them.
    DWORD SendInput(std::uint32_t child, std::uint32_t length, std::span<const std::uint8_t> reports) const;
    // Every entry from `from` on; the chunk header of the last answer in `bounds`.
    DWORD ReadLog(std::uint32_t from, std::vector<vmouse_log_entry>& entries, vmouse_log_chunk& bounds) const;
    DWORD MarkLog() const;
    DWORD ResetLog() const;
    DWORD AddNote(std::string_view note) const;
    DWORD FailWrites(std::uint32_t pass, std::uint32_t fail) const;
    DWORD DelayWrites(std::uint32_t milliseconds) const;
    DWORD ReadState(vmouse_state& state) const;

private:
    explicit BusControl(UniqueKernelHandle device) : device_(std::move(device)) {}
    DWORD Request(DWORD code, const void* in, DWORD inSize, void* out = nullptr, DWORD outSize = 0,
                  DWORD* returned = nullptr) const;

    UniqueKernelHandle device_;
};

}  // namespace virtualmouse
