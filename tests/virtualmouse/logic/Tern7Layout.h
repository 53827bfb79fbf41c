#pragma once
// The Tern-7 as Windows sees it, for the virtual mouse's bus: one physical device with
// three HID collections, which Wine 8.0 shows as three child devices of one container.
//
//   col01  Generic Desktop Mouse (page 1, usage 2): the pointer every mouse has
//   col02  Consumer Control (page 0x0C, usage 1): the keys' 3-byte reports "03 code 00"
//   col03  vendor page 0xFF00, usage 1, unnumbered: 33-byte output reports (32 bytes and
//          the 0 in front), and 33-byte input reports
//
// The tool names a collection by its col number. HidDevice.dll opens col02 as the main
// collection (identifier 2) and col03, which takes the writes, second (identifier 3).
#include <cstdint>
#include <span>

#include "VirtualMouseControl.h"

namespace virtualmouse {

inline constexpr std::uint32_t kPointerChild = 0;
inline constexpr std::uint32_t kKeyChild = 1;
inline constexpr std::uint32_t kVendorChild = 2;
inline constexpr std::uint32_t kChildCount = 3;

inline constexpr std::uint32_t CollectionNumber(std::uint32_t child) { return child + 1; }

// Reports as ReadFile returns them, identifier first.
inline constexpr std::uint32_t kKeyReportLength = 3;
inline constexpr std::uint32_t kVendorReportLength = 33;
inline constexpr std::uint32_t kPointerReportLength = 5;

// A full-speed USB mouse is polled once a millisecond: the keys cannot send faster.
inline constexpr std::uint32_t kInputIntervalUs = 1000;

std::span<const std::uint8_t> PointerDescriptor();
std::span<const std::uint8_t> KeyDescriptor();
std::span<const std::uint8_t> VendorDescriptor();

vmouse_layout Tern7Layout(std::uint16_t vendorId);

// The report length a collection's reads return; 0 for a child the layout does not have.
std::uint32_t InputReportLength(std::uint32_t child);

}  // namespace virtualmouse
