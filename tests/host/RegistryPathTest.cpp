#include <gtest/gtest.h>

#include "RegistryPath.h"

namespace {

TEST(RegistryPath, TheFourRootNamesSelectTheirRootInAnyCase) {
    EXPECT_EQ(SplitRegistryPath(L"HKEY_CURRENT_USER\\Control Panel\\Mouse"),
              (RegistryPath{RegistryRoot::CurrentUser, L"Control Panel\\Mouse"}));
    EXPECT_EQ(SplitRegistryPath(L"hkey_local_machine\\Software"),
              (RegistryPath{RegistryRoot::LocalMachine, L"Software"}));
    EXPECT_EQ(SplitRegistryPath(L"Hkey_Current_Config\\System"),
              (RegistryPath{RegistryRoot::CurrentConfig, L"System"}));
    EXPECT_EQ(SplitRegistryPath(L"HKEY_CLASSES_ROOT\\.ini"), (RegistryPath{RegistryRoot::ClassesRoot, L".ini"}));
}

TEST(RegistryPath, AnyOtherFirstComponentIsKeptBelowLocalMachine) {
    EXPECT_EQ(SplitRegistryPath(L"HKEY_USERS\\.DEFAULT"),
              (RegistryPath{RegistryRoot::LocalMachine, L"HKEY_USERS\\.DEFAULT"}));
    EXPECT_EQ(SplitRegistryPath(L"Software\\Ovix"), (RegistryPath{RegistryRoot::LocalMachine, L"Software\\Ovix"}));
    EXPECT_EQ(SplitRegistryPath(L"HKEY_CURRENT_USERS\\x"),
              (RegistryPath{RegistryRoot::LocalMachine, L"HKEY_CURRENT_USERS\\x"}));
}

TEST(RegistryPath, ARootAloneOpensTheRootAndNoBackslashSplitsNothing) {
    EXPECT_EQ(SplitRegistryPath(L"HKEY_CURRENT_USER\\"), (RegistryPath{RegistryRoot::CurrentUser, L""}));
    EXPECT_FALSE(SplitRegistryPath(L"HKEY_CURRENT_USER"));
    EXPECT_FALSE(SplitRegistryPath(L""));
}

}  // namespace
