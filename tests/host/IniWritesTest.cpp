#include <gtest/gtest.h>

#include "IniWrites.h"

namespace {

std::vector<std::wstring> Keys(const std::vector<IniEntry>& entries) {
    std::vector<std::wstring> keys;
    for (const IniEntry& entry : entries) keys.push_back(entry.Section + L"." + entry.Key + L"=" + entry.Value);
    return keys;
}

TEST(IniWritesTest, OnlyWritesThatChangeTheStoredTextRemain) {
    const IniText file(
        L"[Setting]\r\n  Profile = 1  \r\nPlug\r\nEmpty=\r\n[Other]\r\nx=\"q\"\r\ndup=1\r\ndup=2\r\n"
        L"[other]\r\ny=5\r\n");
    const std::vector<IniEntry> planned = {
        {L"setting", L"PROFILE", L"1"},  // same value, names in another case
        {L"Setting", L"Plug", L"1"},     // a line without '=' holds no value
        {L"Setting", L"Empty", L""},     // an empty value is a value
        {L"Other", L"x", L"q"},          // quotes are part of the stored text
        {L"Other", L"dup", L"1"},        // the first of two keys is the one written
        {L"Other", L"dup", L"2"},        // so this one changes it
        {L"Other", L"y", L"5"},          // only the first section of a name is searched
        {L"New", L"k", L"v"},            // a section that is not there yet
    };
    EXPECT_EQ(Keys(EntriesThatChange(file, planned)),
              (std::vector<std::wstring>{L"Setting.Plug=1", L"Other.x=q", L"Other.dup=2", L"Other.y=5", L"New.k=v"}));
}

TEST(IniWritesTest, AKeyWrittenTwiceIsJudgedByTheEarlierWrite) {
    const IniText file(L"[A]\r\nk=b\r\n");
    const std::vector<IniEntry> backAndForth = {{L"A", L"k", L"a"}, {L"A", L"K", L"b"}, {L"A", L"k", L"b"}};
    EXPECT_EQ(Keys(EntriesThatChange(file, backAndForth)), (std::vector<std::wstring>{L"A.k=a", L"A.K=b"}));
}

}  // namespace
