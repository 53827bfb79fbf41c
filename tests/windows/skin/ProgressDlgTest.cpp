#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ComApartment.h"
#include "MaskRegion.h"
#include "ModulePaths.h"
#include "ProgressDlg.h"
#include "SkinImage.h"
#include "SkinTestBitmaps.h"
#include "TestProcess.h"

namespace {

class Owner : public CWnd {};

// Channel-wise distance, for pixels that went through a display of another depth.
int Distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring skins = ProgramFolder() + L"skins\\";
        emptySize_ = LoadSkinImage(skins + L"updatebar_n.jpg", empty_);
        LoadSkinImage(skins + L"updatebar_o.jpg", full_);
        LoadSkinImage(skins + L"updatebar_Mask.BMP", mask_);
        ASSERT_TRUE(empty_ && full_ && mask_);
        ASSERT_TRUE(owner_.CreateEx(0, L"Progress owner", WS_POPUP, 0, 0, 10, 10));
        ASSERT_TRUE(dialog_.Create(owner_.GetSafeHwnd()));
        dialog_.ShowCentred();
        UpdateWindow(Window());  // paints now, on this thread: the pixels are there after it
        PumpFor(0);
    }

    HWND Window() const { return dialog_.GetSafeHwnd(); }

    // One past the last column of row y (above the text) that shows the full bar; -1 when
    // a column shows the full bar right of one that shows the empty bar, or neither image.
    // Columns where the two images look alike are skipped, so the edge is found within a
    // few pixels.
    int FilledColumns(int y) {
        const std::vector<COLORREF> row = WindowRow(Window(), y, emptySize_.cx);
        int filledEnd = 0;
        bool emptySeen = false;
        for (int x = 0; x < emptySize_.cx; ++x) {
            if (BitmapPixel(mask_.get(), x, y) == RGB(255, 255, 255)) continue;  // outside the shape
            const COLORREF emptyPixel = BitmapPixel(empty_.get(), x, y);
            const COLORREF fullPixel = BitmapPixel(full_.get(), x, y);
            if (Distance(emptyPixel, fullPixel) <= 12) continue;
            const bool isFull = Distance(row[x], fullPixel) <= 6;
            const bool isEmpty = Distance(row[x], emptyPixel) <= 6;
            if (isFull == isEmpty || (isFull && emptySeen)) return -1;
            if (isFull) filledEnd = x + 1;
            emptySeen = emptySeen || isEmpty;
        }
        return filledEnd;
    }

    ComApartment com_;
    SIZE emptySize_{};
    UniqueBitmap empty_;
    UniqueBitmap full_;
    UniqueBitmap mask_;
    Owner owner_;
    CProgressDlg dialog_;
};

TEST_F(ProgressWindowTest, ShowsCentredOnTopWithItsTitleAndTheSkinsSize) {
    EXPECT_EQ(dialog_.GetBarWidth(), emptySize_.cx);
    EXPECT_EQ(dialog_.GetBarHeight(), emptySize_.cy);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_TRUE(GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(Window(), GW_OWNER), owner_.GetSafeHwnd());
    wchar_t title[64] = {};
    GetWindowTextW(Window(), title, 64);
    EXPECT_STREQ(title, L"OvixTessalyProgressbar");

    RECT placed{};
    GetWindowRect(Window(), &placed);
    EXPECT_EQ(placed.left, (GetSystemMetrics(SM_CXSCREEN) - emptySize_.cx) / 2);
    EXPECT_EQ(placed.top, (GetSystemMetrics(SM_CYSCREEN) - emptySize_.cy) / 2);
    EXPECT_GT(placed.right - placed.left, emptySize_.cx) << "the window keeps its template's size";
}

TEST_F(ProgressWindowTest, HasTheShapeOfTheMask) {
    UniqueRegion shape(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(Window(), shape.get()), ERROR);
    const UniqueRegion expected = RegionFromMask(mask_.get(), RGB(255, 255, 255), RGB(0, 0, 0));
    EXPECT_TRUE(SameArea(shape.get(), expected.get()));
    EXPECT_FALSE(PtInRegion(shape.get(), 0, 0)) << "rounded corner";
    EXPECT_TRUE(PtInRegion(shape.get(), emptySize_.cx / 2, emptySize_.cy / 2));
    EXPECT_FALSE(PtInRegion(shape.get(), emptySize_.cx + 5, 5));
}

TEST_F(ProgressWindowTest, FillsFromTheLeftOverTheShareAndShowsOutOfRangeValuesEmpty) {
    const int y = 6;     // above the centred text
    const int edge = 4;  // pixels of the rounded ends and of skipped look-alike columns
    EXPECT_EQ(FilledColumns(y), 0) << "shown empty";
    dialog_.SetProgress(50);
    EXPECT_NEAR(FilledColumns(y), emptySize_.cx / 2, edge);
    dialog_.SetProgress(70);
    EXPECT_NEAR(FilledColumns(y), emptySize_.cx * 70 / 100, edge);
    dialog_.SetProgress(100);
    EXPECT_NEAR(FilledColumns(y), emptySize_.cx, edge);
    dialog_.SetProgress(101);
    EXPECT_EQ(FilledColumns(y), 0);
    dialog_.SetProgress(100);
    dialog_.SetProgress(-1);
    EXPECT_EQ(FilledColumns(y), 0);
}

TEST_F(ProgressWindowTest, EnterEscapeAndCloseLeaveTheWindowOpen) {
    SetForegroundWindow(Window());
    SetFocus(Window());
    for (WPARAM key : {VK_ESCAPE, VK_RETURN}) {
        PostMessageW(GetFocus() ? GetFocus() : Window(), WM_KEYDOWN, key, 0);
        // A loop that gives the dialog its keyboard handling, as a modeless dialog's would.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageW(Window(), &message)) DispatchMessageW(&message);
        }
        EXPECT_TRUE(IsWindow(Window())) << "key " << key;
    }
    SendMessageW(Window(), WM_COMMAND, IDCANCEL, 0);
    SendMessageW(Window(), WM_COMMAND, IDOK, 0);
    SendMessageW(Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(Window()));

    const HWND window = Window();
    dialog_.Close();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(dialog_.GetSafeHwnd(), nullptr);
}

}  // namespace
