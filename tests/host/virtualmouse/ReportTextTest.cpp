#include "ReportText.h"

#include <gtest/gtest.h>

namespace simmouse {
namespace {

TEST(ReportTextHex, FormatsLowerCasePairs) {
    const Bytes bytes{0x03, 0x20, 0x00, 0xAB, 0xFF};
    EXPECT_EQ(FormatHex(bytes), "03 20 00 ab ff");
    EXPECT_EQ(FormatHex(Bytes{}), "");
}

TEST(ReportTextHex, ParsesEitherCaseAndAnySpacing) {
    EXPECT_EQ(ParseHex("03 20 00"), (Bytes{3, 0x20, 0}));
    EXPECT_EQ(ParseHex("  55\tAA 33  cc "), (Bytes{0x55, 0xAA, 0x33, 0xCC}));
    EXPECT_EQ(ParseHex(""), Bytes{});
}

TEST(ReportTextHex, RejectsAnythingButTwoDigitPairs) {
    EXPECT_FALSE(ParseHex("3 20"));
    EXPECT_FALSE(ParseHex("0320"));
    EXPECT_FALSE(ParseHex("0g"));
    EXPECT_FALSE(ParseHex("03,20"));
    EXPECT_FALSE(ParseHex("0x03"));
}

TEST(ReportTextHex, RoundTripsEveryByteValue) {
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(ParseHex(FormatHex(all)), all);
}

TEST(ReportTextNumbers, DecimalAndHexWithinThirtyTwoBits) {
    EXPECT_EQ(ParseNumber("0"), 0u);
    EXPECT_EQ(ParseNumber("250"), 250u);
    EXPECT_EQ(ParseNumber("0x3E71"), 0x3E71u);
    EXPECT_EQ(ParseNumber("0xffffffff"), 0xFFFFFFFFu);
    EXPECT_FALSE(ParseNumber(""));
    EXPECT_FALSE(ParseNumber("0x"));
    EXPECT_FALSE(ParseNumber("-1"));
    EXPECT_FALSE(ParseNumber("12a"));
    EXPECT_FALSE(ParseNumber("4294967296"));
    EXPECT_FALSE(ParseNumber("0x100000000"));
}

TEST(ReportTextLines, OnlyPrintableBoundedLinesPass) {
    EXPECT_TRUE(IsPrintableLine("write 3 00 01"));
    EXPECT_FALSE(IsPrintableLine("write\x01"));
    EXPECT_FALSE(IsPrintableLine("caf\xc3\xa9"));
    EXPECT_FALSE(IsPrintableLine(std::string(kMaxLineLength + 1, 'a')));
}

}  // namespace
}  // namespace simmouse
