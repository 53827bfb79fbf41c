#include <gtest/gtest.h>

#include <climits>

#include "DecimalText.h"
#include "PathText.h"

namespace {

TEST(DecimalText, ReadsLeadingDecimalNumbers) {
    EXPECT_EQ(ParseDecimal(L"42"), 42);
    EXPECT_EQ(ParseDecimal(L"  -7"), -7);
    EXPECT_EQ(ParseDecimal(L"+3"), 3);
    EXPECT_EQ(ParseDecimal(L"12abc"), 12);
    EXPECT_EQ(ParseDecimal(L"0"), 0);
}

TEST(DecimalText, NonNumbersGiveNothing) {
    EXPECT_FALSE(ParseDecimal(L""));
    EXPECT_FALSE(ParseDecimal(L"abc"));
    EXPECT_FALSE(ParseDecimal(L"-"));
    EXPECT_FALSE(ParseDecimal(L" x1"));
}

TEST(DecimalText, HugeNumbersSaturate) {
    EXPECT_EQ(ParseDecimal(L"2147483647"), INT_MAX);
    EXPECT_EQ(ParseDecimal(L"2147483648"), INT_MAX);
    EXPECT_EQ(ParseDecimal(L"99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseDecimal(L"-2147483648"), INT_MIN);
    EXPECT_EQ(ParseDecimal(L"-99999999999999999999"), INT_MIN);
}

TEST(PathText, FolderOfKeepsTheTrailingBackslash) {
    EXPECT_EQ(FolderOf(L"C:\\Program Files\\Tern\\hid.exe"), L"C:\\Program Files\\Tern\\");
    EXPECT_EQ(FolderOf(L"C:\\hid.exe"), L"C:\\");
    EXPECT_EQ(FolderOf(L"hid.exe"), L"");
}

TEST(PathText, JoinPathPutsExactlyOneSeparator) {
    EXPECT_EQ(JoinPath(L"C:\\Data\\", L"config.ini"), L"C:\\Data\\config.ini");
    EXPECT_EQ(JoinPath(L"C:\\Data", L"config.ini"), L"C:\\Data\\config.ini");
    EXPECT_EQ(JoinPath(L"C:\\Data", L""), L"C:\\Data\\");
    EXPECT_EQ(JoinPath(L"", L"x"), L"x");
}

TEST(PathText, TheClassicLimitLeavesRoomForTheTerminatingZero) {
    EXPECT_TRUE(FitsMaxPath(std::wstring(259, L'a')));
    EXPECT_FALSE(FitsMaxPath(std::wstring(260, L'a')));
}

}  // namespace
