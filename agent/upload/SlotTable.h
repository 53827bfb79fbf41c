#pragma once
// The mouse's button slot table: one 96-byte record for each of its eight slots, built
// from a profile's button assignments.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "SettingsImage.h"

inline constexpr std::size_t kButtonRecordBytes = 96;
inline constexpr int kDeviceSlotCount = 8;
inline constexpr std::size_t kSlotTableBytes = kButtonRecordBytes * kDeviceSlotCount;

using ButtonRecord = std::array<std::uint8_t, kButtonRecordBytes>;

struct EncodedButton {
    ButtonRecord Record{};
    // A key or click sequence, which the mouse plays itself.
    bool IsSequence = false;
};

// The record of button index 0..7 with this assignment.
EncodedButton EncodeButton(const ButtonAssignment& button, int buttonIndex);

// The mouse's slot of button index 0..7: buttons 1 to 6 sit in slots 2 to 7, buttons 7
// and 8 in slots 0 and 1.
int ButtonToDeviceSlot(int buttonIndex);

struct SlotTable {
    std::array<std::uint8_t, kSlotTableBytes> Bytes{};
    // Bit s set when slot s holds a sequence record.
    std::uint8_t KeystrokeSlotMask = 0;

    std::span<const std::uint8_t, kButtonRecordBytes> Slot(int slot) const {
        return std::span<const std::uint8_t, kButtonRecordBytes>(Bytes.data() + slot * kButtonRecordBytes,
                                                                 kButtonRecordBytes);
    }
};

SlotTable BuildSlotTable(const ProfileSettings& profile);
