// OSD.exe as the agent meets it: found by its title, showing notices without taking the
// focus or the mouse, and hiding again by itself.
#include <gtest/gtest.h>

#include "ProgramNames.h"
#include "TestFiles.h"
#include "TestProcess.h"

namespace {

std::wstring OsdProgram() { return DistFolder() + L"OSD.exe"; }

class OsdProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(display.Start(L"\"" + OsdProgram() + L"\""));
        ASSERT_TRUE(
            PumpUntil([&] { return (window = FindWindowW(nullptr, names::kOsdWindowTitle)) != nullptr; }, 10000));
    }
    void TearDown() override {
        PostMessageW(window, WM_CLOSE, 0, 0);
        display.WaitForExit(5000);
    }
    ChildProcess display;
    HWND window = nullptr;
};

TEST_F(OsdProgramTest, StaysOutOfTheWayUntilANoticeComes) {
    EXPECT_FALSE(IsWindowVisible(window));
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    for (LONG_PTR bit : {WS_EX_TOPMOST, WS_EX_NOACTIVATE, WS_EX_TRANSPARENT, WS_EX_TOOLWINDOW})
        EXPECT_TRUE(exStyle & bit) << std::hex << bit;
}

TEST_F(OsdProgramTest, ShowsANoticeNearTheBottomCentreWithoutTakingTheFocusAndHidesAgain) {
    const HWND before = GetForegroundWindow();
    PostMessageW(window, 13370, 30, 1500);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 3000));
    EXPECT_EQ(GetForegroundWindow(), before);
    RECT box{};
    GetWindowRect(window, &box);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_LE(std::abs((box.left + box.right) / 2 - screenWidth / 2), 2);
    EXPECT_GT(box.top, screenHeight / 2);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); }, 5000)) << "hides after about 1.5 s";
}

TEST_F(OsdProgramTest, ANewNoticeKeepsItShowingAndUnknownOnesAreIgnored) {
    PostMessageW(window, 13369, 99, 0);
    // Another process's window: nothing marks the unknown notice as handled (a sent
    // message would be handled before it), so a wrong show gets this long to happen.
    PumpFor(300);
    EXPECT_FALSE(IsWindowVisible(window));
    PostMessageW(window, 13369, 11, 0);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 3000));
    // A notice shows for well over a second; without a new start the first one would be
    // gone within half a second of the second notice.
    PumpFor(1000);
    const ULONGLONG second = GetTickCount64();
    PostMessageW(window, 13369, 7, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(window); }, 10000));
    EXPECT_GE(GetTickCount64() - second, 1100u) << "the second notice started its time again";
}

TEST_F(OsdProgramTest, ASecondStartEndsAtOnce) {
    ChildProcess second;
    ASSERT_TRUE(second.Start(L"\"" + OsdProgram() + L"\""));
    EXPECT_TRUE(second.WaitForExit(5000));
    EXPECT_TRUE(WindowsOfProcess(second.Id(), names::kOsdWindowTitle).empty());
}

}  // namespace
