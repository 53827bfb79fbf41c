#include <gtest/gtest.h>

#include "RegistryKey.h"
#include "TestRegistry.h"

namespace {

TEST(RegistryKey, OpenCreatesAMissingKeyAndWritesTextsAsStrings) {
    ScratchKey scratch;
    RegistryKey key;
    ASSERT_EQ(key.Open(scratch.FullPath() + L"\\Mouse", KEY_ALL_ACCESS), 1);
    EXPECT_EQ(key.Root(), HKEY_CURRENT_USER);
    EXPECT_EQ(key.SubkeyPath(), scratch.Subkey() + L"\\Mouse");

    EXPECT_EQ(key.WriteString(L"Two", L"ab"), 1);
    const RegistryValue stored = QueryValue(HKEY_CURRENT_USER, scratch.Subkey() + L"\\Mouse", L"Two");
    EXPECT_EQ(stored.Type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.Bytes, 6u) << "two characters and the terminating zero";

    std::wstring text;
    EXPECT_EQ(key.ReadString(L"Two", text), 1);
    EXPECT_EQ(text, L"ab");
}

TEST(RegistryKey, ReadsFailOnAClosedKeyAMissingValueAndAnOverlongValue) {
    ScratchKey scratch;
    RegistryKey key;
    std::wstring text = L"untouched";
    EXPECT_EQ(key.ReadString(L"Any", text), 0);
    EXPECT_EQ(key.WriteString(L"Any", L"1"), 0);
    EXPECT_EQ(text, L"untouched");

    ASSERT_EQ(key.Open(scratch.FullPath(), KEY_ALL_ACCESS), 1);
    EXPECT_EQ(key.ReadString(L"Missing", text), 0);
    SetValue(HKEY_CURRENT_USER, scratch.Subkey(), L"Long", std::wstring(200, L'7'));
    EXPECT_EQ(key.ReadString(L"Long", text), 0);
    SetValue(HKEY_CURRENT_USER, scratch.Subkey(), L"Fits", std::wstring(129, L'7'));
    EXPECT_EQ(key.ReadString(L"Fits", text), 1);
    EXPECT_EQ(text.size(), 129u);

    key.Close();
    EXPECT_FALSE(key.IsOpen());
    EXPECT_TRUE(key.SubkeyPath().empty());
}

TEST(RegistryKey, ASecondOpenReplacesTheFirstAndRootNamesMatchInAnyCase) {
    ScratchKey scratch;
    SetValue(HKEY_CURRENT_USER, scratch.Subkey() + L"\\B", L"Which", L"B");
    RegistryKey key;
    ASSERT_EQ(key.Open(L"hkey_current_user\\" + scratch.Subkey() + L"\\A", KEY_ALL_ACCESS), 1);
    ASSERT_EQ(key.Open(L"Hkey_Current_User\\" + scratch.Subkey() + L"\\B", KEY_READ), 1);
    std::wstring text;
    EXPECT_EQ(key.ReadString(L"Which", text), 1);
    EXPECT_EQ(text, L"B");
}

TEST(RegistryKey, APathWithoutBackslashOpensNothing) {
    RegistryKey key;
    EXPECT_EQ(key.Open(L"HKEY_CURRENT_USER", KEY_READ), 0);
    EXPECT_FALSE(key.IsOpen());
}

TEST(RegistryKey, OpenOrCreateKeyAndSetStringValue) {
    ScratchKey scratch;
    UniqueHKey key;
    ASSERT_EQ(OpenOrCreateKey(HKEY_CURRENT_USER, (scratch.Subkey() + L"\\Desktop").c_str(), key), ERROR_SUCCESS);
    EXPECT_EQ(SetStringValue(key.get(), L"WheelScrollLines", L"-1"), ERROR_SUCCESS);
    const RegistryValue stored = QueryValue(HKEY_CURRENT_USER, scratch.Subkey() + L"\\Desktop", L"WheelScrollLines");
    EXPECT_EQ(stored.Text, L"-1");
    EXPECT_EQ(stored.Bytes, 6u);
    // Opening it again finds the same key.
    UniqueHKey again;
    EXPECT_EQ(OpenOrCreateKey(HKEY_CURRENT_USER, (scratch.Subkey() + L"\\Desktop").c_str(), again), ERROR_SUCCESS);
}

}  // namespace
