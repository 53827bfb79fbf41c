#include "MaskRuns.h"

#include <algorithm>
#include <climits>

namespace {

constexpr PixelRect kNoBounds{INT_MAX, INT_MAX, 0, 0};

// Channel c (0 red, 1 green, 2 blue) of a COLORREF.
std::uint8_t ColorRefChannel(std::uint32_t color, int c) { return static_cast<std::uint8_t>(color >> (8 * c)); }

// The same channel of a 32-bit DIB pixel, which stores blue lowest.
std::uint8_t DibChannel(std::uint32_t pixel, int c) { return static_cast<std::uint8_t>(pixel >> (8 * (2 - c))); }

}  // namespace

ColorKeyRange::ColorKeyRange(std::uint32_t keyColor, std::uint32_t toleranceColor) {
    for (int c = 0; c < 3; ++c) {
        low_[c] = ColorRefChannel(keyColor, c);
        high_[c] = static_cast<std::uint8_t>(std::min(255, low_[c] + ColorRefChannel(toleranceColor, c)));
    }
}

bool ColorKeyRange::IsTransparent(std::uint32_t dibPixel) const {
    for (int c = 0; c < 3; ++c) {
        const std::uint8_t value = DibChannel(dibPixel, c);
        if (value < low_[c] || value > high_[c]) return false;
    }
    return true;
}

RegionBatch::RegionBatch() : bounds_(kNoBounds) { rects_.reserve(kGrowth); }

bool RegionBatch::Add(const PixelRect& rect) {
    if (rects_.size() == rects_.capacity()) rects_.reserve(rects_.capacity() + kGrowth);
    rects_.push_back(rect);
    bounds_.Left = std::min(bounds_.Left, rect.Left);
    bounds_.Top = std::min(bounds_.Top, rect.Top);
    bounds_.Right = std::max(bounds_.Right, rect.Right);
    bounds_.Bottom = std::max(bounds_.Bottom, rect.Bottom);
    return rects_.size() >= kMaxRects;
}

void RegionBatch::Clear() {
    rects_.clear();
    bounds_ = kNoBounds;
}
