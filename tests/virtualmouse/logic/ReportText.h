#pragma once
// Reports and numbers as the mouse's tools write them: bytes as two-digit hex pairs
// separated by spaces ("03 20 00"), numbers in decimal or 0x hex, lines of printable ASCII.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace simmouse {

using Bytes = std::vector<std::uint8_t>;

// Longer lines are refused: no command of the tool comes near it.
inline constexpr std::size_t kMaxLineLength = 8192;

// Lower-case pairs separated by single spaces.
std::string FormatHex(std::span<const std::uint8_t> bytes);

// Whitespace-separated tokens of exactly two hex digits each (either case); nothing for
// any other token. Empty text gives no bytes.
std::optional<Bytes> ParseHex(std::string_view text);

// A decimal number, or hexadecimal with a 0x prefix, that fits 32 bits.
std::optional<std::uint32_t> ParseNumber(std::string_view text);

// Printable ASCII only and no longer than kMaxLineLength: what a line may carry.
bool IsPrintableLine(std::string_view line);

bool ContainsIgnoringCase(std::string_view text, std::string_view pattern);

}  // namespace simmouse
