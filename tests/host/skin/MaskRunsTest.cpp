#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "MaskRuns.h"

namespace {

constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::uint32_t kBlack = 0x00000000;
// COLORREF values: 0x00BBGGRR.
constexpr std::uint32_t kWhiteKey = 0x00FFFFFF;
constexpr std::uint32_t kExact = 0;

std::vector<PixelRect> RunsOf(const std::vector<std::uint32_t>& row, int y, const ColorKeyRange& key) {
    std::vector<PixelRect> runs;
    ForEachRun(row, y, key, [&](const PixelRect& rect) { runs.push_back(rect); });
    return runs;
}

TEST(MaskRuns, EachRunOfNonKeyPixelsBecomesOneRectangleOfTheRow) {
    const ColorKeyRange white(kWhiteKey, kExact);
    EXPECT_EQ(RunsOf({kWhite, kBlack, kBlack, kWhite, kBlack}, 7, white),
              (std::vector<PixelRect>{{1, 7, 3, 8}, {4, 7, 5, 8}}));
    EXPECT_EQ(RunsOf({kBlack, kBlack}, 0, white), (std::vector<PixelRect>{{0, 0, 2, 1}}));
    EXPECT_TRUE(RunsOf({kWhite, kWhite, kWhite}, 0, white).empty());
    EXPECT_TRUE(RunsOf({}, 0, white).empty());
}

TEST(MaskRuns, OnlyTheExactKeyIsOutsideWithoutTolerance) {
    const ColorKeyRange white(kWhiteKey, kExact);
    EXPECT_TRUE(white.IsTransparent(kWhite));
    for (std::uint32_t nearWhite : {0x00FEFFFFu, 0x00FFFEFFu, 0x00FFFFFEu}) {
        EXPECT_FALSE(white.IsTransparent(nearWhite)) << std::hex << nearWhite;
    }
    // The unused top byte of a DIB pixel does not count.
    EXPECT_TRUE(white.IsTransparent(0xFFFFFFFF));
}

TEST(MaskRuns, ToleranceWidensEachChannelUpwardsUpTo255) {
    // Key red 200, green 10, blue 0 with tolerance red 100, green 5, blue 0.
    const ColorKeyRange key(0x00000AC8, 0x00000564);
    // DIB pixels: 0x00RRGGBB.
    EXPECT_TRUE(key.IsTransparent(0x00C80A00));
    EXPECT_TRUE(key.IsTransparent(0x00FF0F00));
    EXPECT_FALSE(key.IsTransparent(0x00C71000)) << "red below the key";
    EXPECT_FALSE(key.IsTransparent(0x00C81000)) << "green above key + tolerance";
    EXPECT_FALSE(key.IsTransparent(0x00C80A01)) << "blue above key + tolerance";
    // The channels are not mixed up between COLORREF and DIB order.
    const ColorKeyRange blue(0x00FF0000, kExact);
    EXPECT_TRUE(blue.IsTransparent(0x000000FF));
    EXPECT_FALSE(blue.IsTransparent(0x00FF0000));
}

TEST(RegionBatch, FillsUpTo2000RectanglesWithTheirBounds) {
    RegionBatch batch;
    EXPECT_EQ(batch.Bounds(), (PixelRect{INT_MAX, INT_MAX, 0, 0}));
    EXPECT_FALSE(batch.Add({5, 3, 9, 4}));
    EXPECT_FALSE(batch.Add({2, 8, 4, 9}));
    EXPECT_EQ(batch.Bounds(), (PixelRect{2, 3, 9, 9}));
    for (int i = 2; i < 1999; ++i) ASSERT_FALSE(batch.Add({0, i, 1, i + 1}));
    EXPECT_TRUE(batch.Add({0, 1999, 1, 2000})) << "the 2000th rectangle fills the batch";
    EXPECT_EQ(batch.Rects().size(), 2000u);
    EXPECT_EQ(batch.Capacity() % RegionBatch::kGrowth, 0u);
    EXPECT_EQ(batch.Rects()[1], (PixelRect{2, 8, 4, 9}));

    batch.Clear();
    EXPECT_TRUE(batch.Rects().empty());
    EXPECT_EQ(batch.Bounds(), (PixelRect{INT_MAX, INT_MAX, 0, 0}));
}

}  // namespace
