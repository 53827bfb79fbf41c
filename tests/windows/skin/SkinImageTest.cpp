#include <gtest/gtest.h>

#include "ComApartment.h"
#include "ModulePaths.h"
#include "SkinImage.h"
#include "SkinTestBitmaps.h"
#include "TestFiles.h"

namespace {

std::wstring SkinFile(const wchar_t* name) { return ProgramFolder() + L"skins\\" + name; }

TEST(LoadSkinImage, DecodesTheSkinsJpegAndBmpWithTheirSizes) {
    const ComApartment com;
    UniqueBitmap bitmap;
    const SIZE bar = LoadSkinImage(SkinFile(L"updatebar_n.jpg"), bitmap);
    ASSERT_TRUE(bitmap);
    EXPECT_GT(bar.cx, 0);
    EXPECT_GT(bar.cy, 0);
    BITMAP description{};
    ASSERT_TRUE(GetObjectW(bitmap.get(), sizeof(description), &description));
    EXPECT_EQ(description.bmWidth, bar.cx);

    UniqueBitmap mask;
    const SIZE maskSize = LoadSkinImage(SkinFile(L"updatebar_Mask.BMP"), mask);
    ASSERT_TRUE(mask);
    EXPECT_EQ(maskSize.cx, bar.cx);
    EXPECT_EQ(maskSize.cy, bar.cy);
    // The mask's corner lies outside the rounded bar, its middle inside.
    EXPECT_EQ(BitmapPixel(mask.get(), 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(BitmapPixel(mask.get(), bar.cx / 2, bar.cy / 2), RGB(0, 0, 0));
}

TEST(LoadSkinImage, DecodedBitmapOutlivesTheDecoder) {
    const ComApartment com;
    UniqueBitmap bitmap;
    LoadSkinImage(SkinFile(L"updatebar_o.jpg"), bitmap);
    // Decode something else in between: a bitmap still owned by the released picture
    // would be gone by now.
    UniqueBitmap other;
    LoadSkinImage(SkinFile(L"updatebar_n.jpg"), other);
    const COLORREF middle = BitmapPixel(bitmap.get(), 100, 20);
    EXPECT_NE(middle, CLR_INVALID);
    EXPECT_GT(GetBValue(middle), GetRValue(middle)) << "the full bar is blue";
}

TEST(LoadSkinImage, MissingOrUndecodableFilesGiveAnEmptyBitmap) {
    const ComApartment com;
    ScratchFolder folder;
    WriteFileBytes(folder.File(L"text.jpg"), "not an image at all");
    WriteFileBytes(folder.File(L"empty.bmp"), "");
    for (const std::wstring& path :
         {folder.File(L"missing.jpg"), folder.File(L"text.jpg"), folder.File(L"empty.bmp")}) {
        UniqueBitmap bitmap = SolidBitmap(4, 4, RGB(1, 2, 3));
        const SIZE size = LoadSkinImage(path, bitmap);
        EXPECT_FALSE(bitmap);
        EXPECT_EQ(size.cx, 0);
        EXPECT_EQ(size.cy, 0);
    }
}

TEST(CopyBitmapRect, CopiesThePartAsANewBitmapOfItsSize) {
    const UniqueBitmap source = MakeBitmap(40, 30, [](int x, int y) { return RGB(x, y, 7); });
    const HDC screen = GetDC(nullptr);
    UniqueBitmap copy = SolidBitmap(2, 2, RGB(9, 9, 9));
    CopyBitmapRect(screen, copy, source.get(), RECT{10, 5, 30, 25});
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(copy);
    BITMAP description{};
    GetObjectW(copy.get(), sizeof(description), &description);
    EXPECT_EQ(description.bmWidth, 20);
    EXPECT_EQ(description.bmHeight, 20);
    EXPECT_EQ(BitmapPixel(copy.get(), 0, 0), RGB(10, 5, 7));
    EXPECT_EQ(BitmapPixel(copy.get(), 19, 19), RGB(29, 24, 7));
}

TEST(CopyBitmapRect, NullSourceKeepsTheDestinationAndAnEmptyRectEmptiesIt) {
    const HDC screen = GetDC(nullptr);
    UniqueBitmap kept = SolidBitmap(2, 2, RGB(9, 9, 9));
    CopyBitmapRect(screen, kept, nullptr, RECT{0, 0, 2, 2});
    EXPECT_EQ(BitmapPixel(kept.get(), 1, 1), RGB(9, 9, 9));

    const UniqueBitmap source = SolidBitmap(8, 8, RGB(1, 1, 1));
    CopyBitmapRect(screen, kept, source.get(), RECT{3, 3, 3, 8});
    ReleaseDC(nullptr, screen);
    EXPECT_FALSE(kept);
}

}  // namespace
