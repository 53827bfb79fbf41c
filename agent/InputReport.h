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
    MediaNotice,  // Value: notice code 1..5
    MuteNotice,   // the notice depends on the mute state afterwards
};

// What a mode change of the mouse switched: its CPI level or its profile.
enum class ModeKind { CpiLevel = 0, Profile = 1 };

struct DeviceAction {
    DeviceActionKind Kind = DeviceActionKind::None;
    int Value = 0;

    bool operator==(const DeviceAction&) const = default;
};

// report holds at least 9 bytes; length is the report's real length.
DeviceAction DecodeInputReport(const std::uint8_t* report, std::uint32_t length);

// The longest input report the mouse sends is far shorter; a longer length is the
// library's error and the report is ignored.
inline constexpr std::uint32_t kMaxInputReportLength = 64;
inline bool AcceptableInputLength(std::uint32_t length) { return length <= kMaxInputReportLength; }
