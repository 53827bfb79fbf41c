#pragma once
// How a mask image becomes a window shape: which pixels are the key colour (outside the
// window) and the runs of other pixels, one rectangle each, gathered in batches for the
// region calls.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

struct PixelRect {
    int Left;
    int Top;
    int Right;
    int Bottom;

    bool operator==(const PixelRect&) const = default;
};

// A pixel is transparent when each of its red, green and blue lies between the key's
// channel and the key's channel plus the tolerance's (at most 255), both included.
class ColorKeyRange {
public:
    // Both colours as COLORREF values: 0x00BBGGRR.
    ColorKeyRange(std::uint32_t keyColor, std::uint32_t toleranceColor);

    // dibPixel as a 32-bit DIB stores it: 0x00RRGGBB.
    bool IsTransparent(std::uint32_t dibPixel) const;

private:
    std::array<std::uint8_t, 3> low_{};
    std::array<std::uint8_t, 3> high_{};
};

// Calls addRun with (x0, y, x1, y + 1) for every maximal run of non-transparent pixels
// of row y, from left to right.
template <class AddRun>
void ForEachRun(std::span<const std::uint32_t> row, int y, const ColorKeyRange& key, AddRun&& addRun) {
    const int width = static_cast<int>(row.size());
    int x = 0;
    while (x < width) {
        while (x < width && key.IsTransparent(row[x])) ++x;
        if (x == width) break;
        const int start = x;
        while (x < width && !key.IsTransparent(row[x])) ++x;
        addRun(PixelRect{start, y, x, y + 1});
    }
}

// The rectangles of one region call, with their bounds. A region made of very many
// rectangles at once is slow to build; the caller makes one region per full batch and
// joins them.
class RegionBatch {
public:
    static constexpr std::size_t kMaxRects = 2000;
    static constexpr std::size_t kGrowth = 100;

    RegionBatch();

    // Adds a rectangle; true when the batch is full and should be made into a region.
    bool Add(const PixelRect& rect);
    void Clear();

    std::span<const PixelRect> Rects() const { return rects_; }
    // The smallest rectangle around all of them; (INT_MAX, INT_MAX, 0, 0) when empty.
    const PixelRect& Bounds() const { return bounds_; }
    std::size_t Capacity() const { return rects_.capacity(); }

private:
    std::vector<PixelRect> rects_;
    PixelRect bounds_;
};
