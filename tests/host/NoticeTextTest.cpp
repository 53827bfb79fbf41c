#include <gtest/gtest.h>

#include "NoticeText.h"

namespace {

TEST(NoticeText, EachNoticeReadsAsWords) {
    EXPECT_EQ(NoticeText(13369, 11, 0), L"Profile 2");
    EXPECT_EQ(NoticeText(13369, 10, 0), L"Profile 1");
    EXPECT_EQ(NoticeText(13369, 12, 0), L"Profile 3");
    EXPECT_EQ(NoticeText(13370, 30, 1500), L"1500 CPI");
    EXPECT_EQ(NoticeText(13369, 7, 0), L"Muted");
    EXPECT_EQ(NoticeText(13369, 6, 0), L"Sound on");
    EXPECT_EQ(NoticeText(13369, 4, 0), L"Volume up");
    EXPECT_EQ(NoticeText(13369, 1, 0), L"Play / Pause");
}

TEST(NoticeText, UnknownNoticesShowNothing) {
    EXPECT_EQ(NoticeText(13369, 13, 0), L"");
    EXPECT_EQ(NoticeText(13369, 30, 1500), L"") << "a CPI value needs the value form";
    EXPECT_EQ(NoticeText(13370, 11, 0), L"");
    EXPECT_EQ(NoticeText(13370, 30, 0), L"");
    EXPECT_EQ(NoticeText(1, 1, 0), L"");
}

}  // namespace
