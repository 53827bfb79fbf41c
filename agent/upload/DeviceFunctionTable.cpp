#include "DeviceFunctionTable.h"

namespace {

// A function record: byte 1 is one of the mouse's own function codes.
constexpr DeviceFunctionRow MouseFunction(std::uint8_t func, std::uint8_t code) { return {func, {0x00, code}}; }

// Byte 0 = 4: the mouse sends byte 3 back in its input report 3.
constexpr DeviceFunctionRow ReportedCode(std::uint8_t func, std::uint8_t code) {
    return {func, {0x04, 0x00, 0x00, code}};
}

// Left Control held around one key: press, key press, key release, release.
constexpr DeviceFunctionRow ControlChord(std::uint8_t func, std::uint8_t key) {
    return {func, {0x00, 0x01, 0x00, 0xE0, 0x00, key, 0x80, key, 0x80, 0xE0}};
}

// The mouse's first button function pressed and released, under a sequence number.
constexpr DeviceFunctionRow FirstButtonClick(std::uint8_t func, std::uint8_t number) {
    return {func, {0x00, number, 0x01, 0xF0, 0x81, 0xF0}};
}

}  // namespace

// clang-format off
const std::array<DeviceFunctionRow, kDeviceFunctionRows> DeviceFunctionTable = {{
    MouseFunction(1, 0xF0),
    MouseFunction(2, 0xF1),
    MouseFunction(3, 0xF2),
    MouseFunction(4, 0xF3),
    MouseFunction(5, 0xF4),
    MouseFunction(44, 0x00),
    MouseFunction(25, 0xF9),
    MouseFunction(6, 0xF7),
    MouseFunction(7, 0xF8),
    MouseFunction(12, 0xF5),
    MouseFunction(13, 0xF6),
    ReportedCode(10, 0xAC),  // zoom in
    ReportedCode(11, 0xAD),  // zoom out
    ReportedCode(20, 0xCD),  // Consumer page: Play/Pause
    ReportedCode(24, 0xB6),  // Scan Previous Track
    ReportedCode(23, 0xB5),  // Scan Next Track
    ReportedCode(21, 0xE9),  // Volume Increment
    ReportedCode(22, 0xEA),  // Volume Decrement
    ReportedCode(60, 0xE2),  // Mute
    MouseFunction(30, 0xED),
    MouseFunction(31, 0xEE),
    MouseFunction(32, 0xEF),
    MouseFunction(46, 0xEA),
    MouseFunction(47, 0xEB),
    MouseFunction(48, 0xEC),
    ReportedCode(42, 0xF6),  // run a program; the code is made per button
    ControlChord(14, 0x06),  // c
    ControlChord(16, 0x1B),  // x
    ControlChord(15, 0x19),  // v
    ControlChord(17, 0x1D),  // z
    ControlChord(18, 0x1C),  // y
    ControlChord(19, 0x16),  // s
    FirstButtonClick(27, 3),
    FirstButtonClick(28, 5),
    FirstButtonClick(29, 1),  // the number is the button's id
}};
// clang-format on

const DeviceFunctionRow* FindDeviceFunction(std::uint8_t buttonFunc) {
    for (const DeviceFunctionRow& row : DeviceFunctionTable) {
        if (row.ButtonFunc == buttonFunc) return &row;
    }
    return nullptr;
}
