#include <gtest/gtest.h>

#include <vector>

#include "MaskRegion.h"
#include "SkinTestBitmaps.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kExact = RGB(0, 0, 0);

UniqueRegion RegionOfRects(const std::vector<RECT>& rects) {
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    for (const RECT& r : rects) {
        UniqueRegion part(CreateRectRgnIndirect(&r));
        CombineRgn(region.get(), region.get(), part.get(), RGN_OR);
    }
    return region;
}

TEST(RegionFromMask, EveryRunOfNonWhitePixelsIsInside) {
    const COLORREF row[] = {kWhite, kBlack, kBlack, kWhite, kBlack};
    const UniqueBitmap mask = MakeBitmap(5, 2, [&](int x, int y) { return y == 0 ? row[x] : kWhite; });
    const UniqueRegion region = RegionFromMask(mask.get(), kWhite, kExact);
    ASSERT_TRUE(region);
    const UniqueRegion expected = RegionOfRects({{1, 0, 3, 1}, {4, 0, 5, 1}});
    EXPECT_TRUE(SameArea(region.get(), expected.get()));
}

TEST(RegionFromMask, OnlyPureWhiteIsOutside) {
    // A white border around pixels that are white but for one channel.
    const UniqueBitmap mask = MakeBitmap(6, 5, [](int x, int y) {
        const bool inner = x >= 1 && x <= 4 && y >= 1 && y <= 3;
        return inner ? RGB(254, 255, 255) : kWhite;
    });
    const UniqueRegion region = RegionFromMask(mask.get(), kWhite, kExact);
    const UniqueRegion inner = RegionOfRects({{1, 1, 5, 4}});
    EXPECT_TRUE(SameArea(region.get(), inner.get()));

    // With a tolerance of 1 on red, 254 counts as the key too.
    const UniqueRegion tolerant = RegionFromMask(mask.get(), RGB(254, 255, 255), RGB(1, 0, 0));
    RECT box{};
    EXPECT_EQ(GetRgnBox(tolerant.get(), &box), NULLREGION);
}

TEST(RegionFromMask, AllWhiteGivesAnEmptyRegionAndNoBitmapGivesNone) {
    const UniqueBitmap white = SolidBitmap(30, 20, kWhite);
    const UniqueRegion empty = RegionFromMask(white.get(), kWhite, kExact);
    ASSERT_TRUE(empty);
    RECT box{};
    EXPECT_EQ(GetRgnBox(empty.get(), &box), NULLREGION);

    EXPECT_FALSE(RegionFromMask(nullptr, kWhite, kExact));
}

TEST(RegionFromMask, ManyRunsJoinedInBatchesGiveTheSameRegionAsAllAtOnce) {
    // Every other pixel black: 50 runs a row, 3000 in all, more than one batch of 2000.
    constexpr int kWidth = 100;
    constexpr int kHeight = 60;
    const auto colorAt = [](int x, int y) { return (x + y) % 2 ? kBlack : kWhite; };
    const UniqueBitmap mask = MakeBitmap(kWidth, kHeight, colorAt);

    std::vector<BYTE> data(sizeof(RGNDATAHEADER));
    DWORD count = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (colorAt(x, y) != kBlack) continue;
            const RECT rect{x, y, x + 1, y + 1};
            const auto* bytes = reinterpret_cast<const BYTE*>(&rect);
            data.insert(data.end(), bytes, bytes + sizeof(rect));
            ++count;
        }
    }
    ASSERT_GT(count, 2000u);
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = count;
    header->rcBound = {0, 0, kWidth, kHeight};
    const UniqueRegion atOnce(
        ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data())));
    ASSERT_TRUE(atOnce);

    const UniqueRegion batched = RegionFromMask(mask.get(), kWhite, kExact);
    ASSERT_TRUE(batched);
    EXPECT_TRUE(SameArea(batched.get(), atOnce.get()));
    EXPECT_TRUE(PtInRegion(batched.get(), kWidth - 1, kHeight - 2)) << "a pixel of the last batch";
}

TEST(RegionFromMask, ReadsMasksOfAnyFormat) {
    // A monochrome device bitmap, rows padded to 16 bits, bit 1 white: row 0 is black,
    // white, black; row 1 all white.
    const BYTE rows[4] = {0x5F, 0x00, 0xFF, 0x00};
    const UniqueBitmap mono(CreateBitmap(3, 2, 1, 1, rows));
    const UniqueRegion region = RegionFromMask(mono.get(), kWhite, kExact);
    const UniqueRegion expected = RegionOfRects({{0, 0, 1, 1}, {2, 0, 3, 1}});
    EXPECT_TRUE(SameArea(region.get(), expected.get()));
}

}  // namespace
