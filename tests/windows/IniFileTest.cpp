#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "IniFile.h"
#include "TestFiles.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    IniFile ini{folder.File(L"test.ini")};
};

TEST_F(IniFileTest, IntegersAndTextsRoundTripAndMissingKeysGiveTheDefault) {
    ini.WriteInt(L"S", L"Negative", -1);
    ini.WriteInt(L"S", L"Big", 255);
    ini.WriteString(L"S", L"Text", L"C:\\Program Files\\app.exe");
    EXPECT_EQ(ini.ReadInt(L"S", L"Negative", 7), -1);
    EXPECT_EQ(ini.ReadInt(L"S", L"Big", 7), 255);
    EXPECT_EQ(ini.ReadString(L"S", L"Text", L"x"), L"C:\\Program Files\\app.exe");
    EXPECT_EQ(ini.ReadInt(L"S", L"Missing", 7), 7);
    EXPECT_EQ(ini.ReadInt(L"Nowhere", L"Big", -1), -1);
    EXPECT_EQ(ini.ReadString(L"S", L"Missing", L"fallback"), L"fallback");
}

TEST_F(IniFileTest, EveryWriteIsInTheFileWhenTheCallReturns) {
    ini.WriteInt(L"Setting", L"Plug", 1);
    EXPECT_NE(ReadFileBytes(ini.Path()).find("Plug=1"), std::string::npos);
    ini.WriteInt(L"Setting", L"Plug", 0);
    EXPECT_NE(ReadFileBytes(ini.Path()).find("Plug=0"), std::string::npos);
}

TEST_F(IniFileTest, ValuesThatAreNoNumberGiveTheDefaultAndHugeOnesSaturate) {
    WriteFileBytes(ini.Path(), "[S]\r\nWord=abc\r\nEmpty=\r\nHuge=99999999999\r\nTail=12px\r\nLow=-99999999999\r\n");
    EXPECT_EQ(ini.ReadInt(L"S", L"Word", -1), -1);
    EXPECT_EQ(ini.ReadInt(L"S", L"Empty", -1), -1);
    EXPECT_EQ(ini.ReadInt(L"S", L"Huge", -1), INT_MAX);
    EXPECT_EQ(ini.ReadInt(L"S", L"Tail", -1), 12);
    EXPECT_EQ(ini.ReadInt(L"S", L"Low", 0), INT_MIN);
    EXPECT_EQ(ini.ReadString(L"S", L"Empty", L"x"), L"") << "an empty text is no missing key";
}

TEST_F(IniFileTest, LongTextsAreCutAt4095Characters) {
    ini.WriteString(L"S", L"Long", std::wstring(6000, L'q'));
    EXPECT_EQ(ini.ReadString(L"S", L"Long", L"").size(), IniFile::kMaxStringChars);
}

TEST_F(IniFileTest, StructsRoundTripAndBadValuesLeaveTheDestinationAlone) {
    const std::uint8_t written[4] = {0x00, 0xE0, 0x80, 0xE0};
    ini.WriteStruct(L"S", L"Block", written);
    EXPECT_NE(ReadFileBytes(ini.Path()).find("Block=00E080E040"), std::string::npos);
    std::uint8_t read[4] = {};
    ini.ReadStruct(L"S", L"Block", read);
    EXPECT_EQ(std::memcmp(read, written, 4), 0);

    WriteFileBytes(ini.Path(),
                   "[S]\r\nBadSum=0102030407\r\nShort=010203\r\nBadHex=01ZZ030406\r\nLong=010203040500\r\n");
    for (const wchar_t* key : {L"BadSum", L"Short", L"BadHex", L"Long", L"Missing"}) {
        std::uint8_t untouched[4] = {9, 9, 9, 9};
        ini.ReadStruct(L"S", key, untouched);
        EXPECT_EQ(untouched[0] + untouched[1] + untouched[2] + untouched[3], 36) << "key " << key;
    }
}

TEST_F(IniFileTest, JunkFilesReadAsDefaults) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>((i * 37 + 11) % 256));
    WriteFileBytes(ini.Path(), junk);
    EXPECT_EQ(ini.ReadInt(L"Setting", L"Profile", 0), 0);
    EXPECT_EQ(ini.ReadString(L"Setting", L"Path", L"none"), L"none");

    WriteFileBytes(ini.Path(), "");
    EXPECT_EQ(ini.ReadInt(L"Setting", L"Profile", 5), 5);
}

TEST_F(IniFileTest, ReadsUtf16FilesWithAByteOrderMark) {
    const std::wstring text = L"[Setting]\r\nProfile=2\r\n[B]\r\nPath=C:\\\x00DC\x0062ung\\x.exe\r\n";
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    WriteFileBytes(ini.Path(), bytes);
    EXPECT_EQ(ini.ReadInt(L"Setting", L"Profile", 0), 2);
    EXPECT_EQ(ini.ReadString(L"B", L"Path", L""), L"C:\\\x00DC\x0062ung\\x.exe");
}

TEST_F(IniFileTest, WritingOneKeyKeepsEveryOtherLine) {
    WriteFileBytes(ini.Path(), "; settings tool\r\n[Setting]\r\nLanguage=de\r\nProfile=1\r\n[Extra]\r\nA=1\r\n");
    ini.WriteInt(L"Setting", L"Profile", 2);
    const std::string after = ReadFileBytes(ini.Path());
    EXPECT_NE(after.find("Language=de"), std::string::npos);
    EXPECT_NE(after.find("[Extra]"), std::string::npos);
    EXPECT_NE(after.find("A=1"), std::string::npos);
    EXPECT_NE(after.find("Profile=2"), std::string::npos);
    EXPECT_EQ(after.find("Profile=1"), std::string::npos);
}

}  // namespace
