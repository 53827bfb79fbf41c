#pragma once
// One of the virtual mouse's HID collections opened as any program opens a HID device, for
// what the tests check below the library: reads and writes on the bare handle.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Handles.h"

class RawCollection {
public:
    // Opens the child's collection (Tern7Layout.h) for overlapped reading and writing.
    explicit RawCollection(std::uint32_t child);
    // A read still pending is cancelled first: its buffer is this object's.
    ~RawCollection();
    RawCollection(const RawCollection&) = delete;
    RawCollection& operator=(const RawCollection&) = delete;
    bool Opened() const { return static_cast<bool>(device_); }
    HANDLE Handle() const { return device_.get(); }

    // The next input report, or nothing when none came in time.
    std::optional<std::vector<std::uint8_t>> Read(DWORD timeoutMs = 5000);

    // What a read or a write ended with.
    struct Transfer {
        bool ok = false;
        DWORD written = 0;
        DWORD error = ERROR_SUCCESS;
    };
    // Waits for the write however long the device takes.
    Transfer Write(const std::vector<std::uint8_t>& report);

    // A read left pending, for what ends it.
    bool StartRead();
    // Set when the read StartRead began has ended.
    HANDLE ReadDone() const { return readDone_.get(); }
    // Waits for the read StartRead began; nothing when it is still pending.
    std::optional<Transfer> FinishRead(DWORD timeoutMs);

private:
    void CancelRead();

    UniqueKernelHandle device_;
    UniqueKernelHandle readDone_;
    OVERLAPPED read_{};
    bool reading_ = false;
    std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(64);
};
