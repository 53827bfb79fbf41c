#include <gtest/gtest.h>

#include <string>

#include "SystemError.h"

namespace {

TEST(SystemError, TheLineHasTheOperationTheCodeAndTheSystemsMessageOnOneLine) {
    const std::wstring prefix = L"CopyFile C:\\config.ini failed: 0x00000002 ";
    const std::wstring text = SystemErrorText(L"CopyFile C:\\config.ini", ERROR_FILE_NOT_FOUND);
    ASSERT_GT(text.size(), prefix.size()) << "the system's message follows the code";
    EXPECT_EQ(text.substr(0, prefix.size()), prefix);
    EXPECT_EQ(text.find_first_of(L"\r\n"), std::wstring::npos);
    EXPECT_NE(text.back(), L' ');

    // A code the system has no message for still names itself.
    EXPECT_EQ(SystemErrorText(L"HidP_GetCaps", 0xE0110001), L"HidP_GetCaps failed: 0xE0110001");

    // Tracing leaves the caller's last error alone.
    SetLastError(ERROR_ACCESS_DENIED);
    TraceSystemError(L"CreateFile", ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

}  // namespace
