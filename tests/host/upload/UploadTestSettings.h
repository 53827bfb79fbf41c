#pragma once
// What the upload tests share: views of the bytes of a report or a slot.
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "SettingsImage.h"

// count bytes from first.
inline std::vector<std::uint8_t> Bytes(std::span<const std::uint8_t> bytes, std::size_t first, std::size_t count) {
    return {bytes.begin() + first, bytes.begin() + first + count};
}

// True when every byte from first up to end (the last one by default) is 0.
inline bool ZeroFrom(std::span<const std::uint8_t> bytes, std::size_t first,
                     std::size_t end = std::numeric_limits<std::size_t>::max()) {
    for (std::size_t i = first; i < end && i < bytes.size(); ++i) {
        if (bytes[i] != 0) return false;
    }
    return true;
}
