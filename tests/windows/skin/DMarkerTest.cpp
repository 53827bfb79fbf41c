#include <gtest/gtest.h>

#include "DMarker.h"
#include "SkinTestBitmaps.h"
#include "TestProcess.h"

namespace {

constexpr COLORREF kEmpty = RGB(0, 0, 255);
constexpr COLORREF kFull = RGB(255, 0, 0);
constexpr int kBarWidth = 200;
constexpr int kBarHeight = 20;
// Where the bar sits in its parent: mouse points are converted between the two.
constexpr RECT kBarRect{20, 10, 20 + kBarWidth, 10 + kBarHeight};

class Parent : public CWnd {};

class MarkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(parent_.CreateEx(WS_EX_TOPMOST, L"Marker test", WS_POPUP | WS_VISIBLE, 40, 40, 260, 50));
        ASSERT_TRUE(bar_.CreateMarker(kBarRect, L"", parent_.GetSafeHwnd(), 7));
        const UniqueBitmap empty = SolidBitmap(kBarWidth, kBarHeight, kEmpty);
        const UniqueBitmap full = SolidBitmap(kBarWidth, kBarHeight, kFull);
        bar_.SetBarImages(RECT{0, 0, kBarWidth, kBarHeight}, empty.get(), full.get());
        bar_.SetRange(0, 100);
        PumpFor(0);
    }

    // Columns of the middle row showing the full image; -1 if a pixel is neither image.
    int FilledColumns() {
        const std::vector<COLORREF> row = WindowRow(bar_.GetSafeHwnd(), kBarHeight / 2, kBarWidth);
        int filled = 0;
        while (filled < kBarWidth && row[filled] == kFull) ++filled;
        for (int x = filled; x < kBarWidth; ++x) {
            if (row[x] != kEmpty) return -1;
        }
        return filled;
    }

    LRESULT Mouse(UINT message, int x) {
        return SendMessageW(bar_.GetSafeHwnd(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, 5));
    }

    Parent parent_;
    CDMarker bar_;
};

TEST_F(MarkerTest, FillsTheShareOfItsWidthAtOnceAndShowsOutOfRangeValuesEmpty) {
    EXPECT_EQ(GetDlgCtrlID(bar_.GetSafeHwnd()), 7);
    bar_.SetPos(33);
    EXPECT_EQ(FilledColumns(), 66);
    bar_.SetPos(100);
    EXPECT_EQ(FilledColumns(), kBarWidth);
    bar_.SetPos(101);
    EXPECT_EQ(bar_.GetPos(), 0);
    EXPECT_EQ(FilledColumns(), 0) << "out of range shows the minimum, not the maximum";
    bar_.SetPos(60);
    bar_.SetPos(-1);
    EXPECT_EQ(FilledColumns(), 0);
}

TEST_F(MarkerTest, ARangeSetLaterKeepsThePositionUntilTheNextValue) {
    bar_.SetPos(50);
    bar_.SetRange(0, 10);
    EXPECT_EQ(bar_.GetPos(), 50);
    bar_.SetPos(5);
    EXPECT_EQ(FilledColumns(), 100);
}

TEST_F(MarkerTest, ReleasingTheButtonOverTheBarSetsThePositionWithoutADrag) {
    // Control x 100 is parent x 120: half of the bar.
    Mouse(WM_LBUTTONUP, 100);
    EXPECT_EQ(bar_.GetPos(), 50);
    Mouse(WM_LBUTTONUP, -50);
    EXPECT_EQ(bar_.GetPos(), 0);
    Mouse(WM_LBUTTONUP, 400);
    EXPECT_EQ(bar_.GetPos(), 100);
}

TEST_F(MarkerTest, DraggingMovesThePositionUntilTheFocusGoes) {
    Mouse(WM_MOUSEMOVE, 150);
    EXPECT_EQ(bar_.GetPos(), 0) << "a move without a pressed button does nothing";

    Mouse(WM_LBUTTONDOWN, 10);
    EXPECT_EQ(GetCapture(), bar_.GetSafeHwnd());
    Mouse(WM_MOUSEMOVE, 150);
    EXPECT_EQ(bar_.GetPos(), 75);
    PumpFor(0);
    EXPECT_EQ(FilledColumns(), 150);

    SendMessageW(bar_.GetSafeHwnd(), WM_KILLFOCUS, 0, 0);
    Mouse(WM_MOUSEMOVE, 20);
    EXPECT_EQ(bar_.GetPos(), 75);
    ReleaseCapture();
}

TEST_F(MarkerTest, TextIsDrawnOnTheBarOnlyWhenThereIsOne) {
    CDMarker labelled;
    ASSERT_TRUE(labelled.CreateMarker(RECT{0, 0, kBarWidth, kBarHeight}, L"Updating", parent_.GetSafeHwnd(), 8));
    const UniqueBitmap empty = SolidBitmap(kBarWidth, kBarHeight, kEmpty);
    labelled.SetBarImages(RECT{0, 0, kBarWidth, kBarHeight}, empty.get(), empty.get());
    labelled.SetPos(0);
    int textPixels = 0;
    for (COLORREF pixel : WindowRow(labelled.GetSafeHwnd(), kBarHeight / 2, kBarWidth)) textPixels += pixel != kEmpty;
    EXPECT_GT(textPixels, 0);

    bar_.SetPos(0);
    EXPECT_EQ(FilledColumns(), 0) << "no text, only the images";
}

TEST_F(MarkerTest, ABarWithoutWidthTakesClicksAndPaintsWithoutDividingByZero) {
    CDMarker flat;
    ASSERT_TRUE(flat.CreateMarker(RECT{5, 5, 5, 25}, L"", parent_.GetSafeHwnd(), 9));
    flat.SetRange(0, 100);
    flat.SetPos(50);
    SendMessageW(flat.GetSafeHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(flat.GetPos(), 0);
    flat.SetRange(4, 4);
    flat.SetPos(4);
    EXPECT_EQ(flat.GetPos(), 4);
}

}  // namespace
