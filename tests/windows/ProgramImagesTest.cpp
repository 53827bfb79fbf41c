// How Windows starts each shipped program: the manifest it carries, and the DLLs the
// loader resolves for it before any of its code runs. Those must all be DLLs that Windows
// takes from the system folder whatever lies beside the program.
#include <gtest/gtest.h>

#include <cwchar>
#include <set>
#include <string>

#include "ExportTable.h"
#include "Handles.h"
#include "TestFiles.h"

namespace {

std::wstring DistFile(const wchar_t* name) { return DistFolder() + name; }

constexpr const wchar_t* kPrograms[] = {L"hid.exe", L"notifyhost.exe", L"OSD.exe", L"tern7ctl.exe"};

TEST(ProgramImages, EveryProgramRunsAsTheInvokerOnTheSystemsItNamesWithTheSystemsScaling) {
    for (const wchar_t* program : kPrograms) {
        SCOPED_TRACE(std::string(program, program + std::wcslen(program)));
        const UniqueModule module(LoadLibraryExW(DistFile(program).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(module);
        const HRSRC found = FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
        ASSERT_NE(found, nullptr);
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module.get(), found)));
        const std::string manifest(bytes, SizeofResource(module.get(), found));
        EXPECT_NE(manifest.find(R"(<requestedExecutionLevel level="asInvoker" uiAccess="false"/>)"), std::string::npos);
        EXPECT_NE(manifest.find(R"(<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>)"), std::string::npos)
            << "Windows 7";
        EXPECT_NE(manifest.find(R"(<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>)"), std::string::npos)
            << "Windows 10 and 11";
        EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);
    }
}

TEST(ProgramImages, EveryProgramImportsOnlyDllsThatWindowsTakesFromTheSystemFolder) {
    // Windows' known DLLs (the universal C runtime's msvcrt among them).
    const std::set<std::string> known = {"advapi32.dll", "gdi32.dll",    "kernel32.dll", "msvcrt.dll",
                                         "ole32.dll",    "oleaut32.dll", "shell32.dll",  "user32.dll"};
    for (const wchar_t* program : kPrograms) {
        SCOPED_TRACE(std::string(program, program + std::wcslen(program)));
        const auto imported = ReadImportedDlls(ReadFileBytes(DistFile(program)));
        ASSERT_TRUE(imported);
        for (const std::string& dll : *imported) EXPECT_TRUE(known.count(dll)) << dll;
    }
}

}  // namespace
