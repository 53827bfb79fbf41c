// Any mask gives, row by row, runs inside the row, in order, apart from each other and
// covering exactly the pixels outside the key colour's range; batches keep their bounds.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzBytes.h"
#include "MaskRuns.h"

namespace {

constexpr int kMaxSide = 64;

void Require(bool condition) {
    if (!condition) std::abort();
}

// Channel c (0 red, 1 green, 2 blue) of the key as a COLORREF and of a DIB pixel.
int KeyChannel(std::uint32_t color, int c) { return (color >> (8 * c)) & 0xFF; }
int PixelChannel(std::uint32_t pixel, int c) { return (pixel >> (8 * (2 - c))) & 0xFF; }

bool OutsideKey(std::uint32_t pixel, std::uint32_t key, std::uint32_t tolerance) {
    for (int c = 0; c < 3; ++c) {
        const int value = PixelChannel(pixel, c);
        const int low = KeyChannel(key, c);
        if (value < low || value > std::min(255, low + KeyChannel(tolerance, c))) return true;
    }
    return false;
}

bool Inside(const PixelRect& rect, const PixelRect& bounds) {
    return rect.Left >= bounds.Left && rect.Top >= bounds.Top && rect.Right <= bounds.Right &&
           rect.Bottom <= bounds.Bottom;
}

class BatchChecker {
public:
    void Add(const PixelRect& rect) {
        pending_.push_back(rect);
        if (batch_.Add(rect)) Flush();
    }

    void Flush() {
        Require(std::equal(pending_.begin(), pending_.end(), batch_.Rects().begin(), batch_.Rects().end()));
        Require(batch_.Rects().size() <= RegionBatch::kMaxRects);
        for (const PixelRect& rect : pending_) Require(Inside(rect, batch_.Bounds()));
        batch_.Clear();
        pending_.clear();
        Require(batch_.Rects().empty());
    }

private:
    RegionBatch batch_;
    std::vector<PixelRect> pending_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Width, height, then a zero byte for the skins' white key without tolerance or any
    // other byte followed by key and tolerance; then the pixels, row by row.
    FuzzBytes input(data, size);
    const int width = input.Byte() % (kMaxSide + 1);
    const int height = input.Byte() % (kMaxSide + 1);
    const bool whiteKey = input.Byte() == 0;
    const std::uint32_t key = whiteKey ? 0x00FFFFFF : input.Word();
    const std::uint32_t tolerance = whiteKey ? 0 : input.Word();
    const ColorKeyRange range(key, tolerance);

    BatchChecker batches;
    for (int y = 0; y < height; ++y) {
        // Each row on the heap at its exact width, so that a read past it is caught.
        std::vector<std::uint32_t> row(width);
        for (std::uint32_t& pixel : row) pixel = input.Word();

        std::vector<bool> covered(width, false);
        int previousRight = -1;
        ForEachRun(std::span<const std::uint32_t>(row), y, range, [&](const PixelRect& run) {
            Require(run.Top == y && run.Bottom == y + 1);
            Require(run.Left >= 0 && run.Left < run.Right && run.Right <= width);
            // In order, and never touching the previous run: runs are maximal.
            Require(run.Left > previousRight);
            previousRight = run.Right;
            for (int x = run.Left; x < run.Right; ++x) covered[x] = true;
            batches.Add(run);
        });
        for (int x = 0; x < width; ++x) Require(covered[x] == OutsideKey(row[x], key, tolerance));
    }
    batches.Flush();
    return 0;
}
