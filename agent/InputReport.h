#pragma once
// What an input report of the mouse asks the agent to do. The mouse sends report 3 with
// a one-byte code; every other report is ignored.
#include <cstdint>

enum class DeviceActionKind {
    None,
    SelectProfile,  // Value: profile number 1..3
    SetCpiLevel,    // Value: level 1..4
    RunProgram,     // Value: button slot 0..8 (8 names no button)
    ZoomIn,
    ZoomOut,
    MediaNotice,    // Value: notice code 1..5
    MuteNotice,     // the notice depends on the mute state afterwards
};

struct DeviceAction {
    DeviceActionKind Kind = DeviceActionKind::None;
    int Value = 0;

    bool operator==(const DeviceAction&) const = default;
};

// report holds at least 9 bytes; length is the report's real length.
DeviceAction DecodeInputReport(const std::uint8_t* report, std::uint32_t length);

// The resolution of CPI level 1..4.
inline int CpiOfLevel(int level) { return 500 * level; }
