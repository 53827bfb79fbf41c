#pragma once
// The fixed bytes that a button's function code becomes at the start of its record in
// the mouse's slot table.
#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kFunctionRowBytes = 10;

struct DeviceFunctionRow {
    std::uint8_t ButtonFunc;
    std::array<std::uint8_t, kFunctionRowBytes> Bytes;
};

inline constexpr std::size_t kDeviceFunctionRows = 35;

// Every row, in the order in which it is searched.
extern const std::array<DeviceFunctionRow, kDeviceFunctionRows> DeviceFunctionTable;

// The first row for buttonFunc; null when the table has none (code 39 among them).
const DeviceFunctionRow* FindDeviceFunction(std::uint8_t buttonFunc);
