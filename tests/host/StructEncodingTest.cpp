#include <gtest/gtest.h>

#include <numeric>

#include "StructEncoding.h"

namespace {

TEST(StructEncoding, EncodesUpperCaseHexFollowedByTheByteSum) {
    const std::uint8_t bytes[] = {0x00, 0xE0, 0x80, 0xE0, 0xff};
    // 0xE0 + 0x80 + 0xE0 + 0xFF = 0x23F -> 0x3F
    EXPECT_EQ(EncodeStruct(bytes), L"00E080E0FF3F");
    EXPECT_EQ(EncodeStruct({}), L"00");
}

TEST(StructEncoding, AKeyDataBlockRoundTrips) {
    std::vector<std::uint8_t> bytes(80);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{200});
    const std::wstring text = EncodeStruct(bytes);
    ASSERT_EQ(text.size(), 162u);
    EXPECT_EQ(DecodeStruct(text, 80), bytes);
}

TEST(StructEncoding, RejectsWrongLengthBadDigitsAndWrongChecksum) {
    const std::uint8_t bytes[] = {1, 2, 3};
    const std::wstring good = EncodeStruct(bytes);  // "010203" + "06"
    ASSERT_TRUE(DecodeStruct(good, 3));
    EXPECT_TRUE(DecodeStruct(L"010203 06", 3) == std::nullopt);
    EXPECT_FALSE(DecodeStruct(good, 2));
    EXPECT_FALSE(DecodeStruct(good.substr(0, good.size() - 1), 3));
    EXPECT_FALSE(DecodeStruct(L"01020307", 3)) << "checksum off by one";
    EXPECT_FALSE(DecodeStruct(L"01G20306", 3));
    EXPECT_FALSE(DecodeStruct(L"", 3));
    EXPECT_EQ(DecodeStruct(L"0a0b0c21", 3), (std::vector<std::uint8_t>{10, 11, 12})) << "lower case is read too";
}

}  // namespace
