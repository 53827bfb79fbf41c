#pragma once
// Byte blocks in INI values: each byte as two upper-case hexadecimal digits, then two more
// for a checksum, the sum of the bytes modulo 256 (the encoding of the Windows
// private-profile struct functions).
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

std::wstring EncodeStruct(std::span<const std::uint8_t> bytes);

// The bytes of a value that encodes exactly `size` bytes with a matching checksum;
// nothing for any other length, a non-hexadecimal digit or a wrong checksum.
std::optional<std::vector<std::uint8_t>> DecodeStruct(std::wstring_view text, std::size_t size);
