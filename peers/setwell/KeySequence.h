#pragma once
// A button's key sequence: up to 40 events of two bytes (flags, HID keyboard usage) in
// KeyData, KeyNumber of them in use.
#include <cstdint>
#include <string>

#include "SettingsImage.h"

inline constexpr std::uint8_t kKeyPress = 0x00;
inline constexpr std::uint8_t kKeyRelease = 0x80;

// The HID keyboard usage of a Windows virtual-key code; 0 for keys the mouse cannot send.
std::uint8_t KeyUsageOfVirtualKey(unsigned virtualKey, bool extended);

// The name of a HID keyboard usage ("A", "Left Ctrl", "F5", ...).
std::wstring KeyUsageName(std::uint8_t usage);

// Adds one event; false when the sequence is full or the key has no usage. A key held
// down repeats its press: only the first counts.
bool AppendKeyEvent(ButtonAssignment& button, std::uint8_t usage, bool release);

void ClearKeySequence(ButtonAssignment& button);

// The events in use as text: "Left Ctrl down, C down, C up, Left Ctrl up". A KeyNumber
// beyond the 40 entries (a missing key reads as 255) shows only the 40 there are.
std::wstring KeySequenceText(const ButtonAssignment& button);
