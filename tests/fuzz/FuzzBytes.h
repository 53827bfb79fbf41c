#pragma once
// Reads a fuzz input from the front, as the seed files are laid out: little-endian
// values, zero once the input runs out.
#include <cstddef>
#include <cstdint>

class FuzzBytes {
public:
    FuzzBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t Remaining() const { return size_; }

    std::uint8_t Byte() {
        if (size_ == 0) return 0;
        --size_;
        return *data_++;
    }

    std::uint32_t Word() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= std::uint32_t{Byte()} << (8 * i);
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};
