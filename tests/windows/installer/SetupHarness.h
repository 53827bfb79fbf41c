#pragma once
// The real setup, run as a user's session runs it: with the user's own (unelevated)
// rights, installing into the session user's program folder and registry. Each test
// starts and ends with nothing installed.
#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Handles.h"
#include "ProgramNames.h"
#include "TestFiles.h"
#include "TestProcess.h"
#include "UserRights.h"

#define TERN7_WIDEN2(text) L##text
#define TERN7_WIDEN(text) TERN7_WIDEN2(text)

inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t kRunValue[] = L"Ovix Pelora Tern-7";
inline constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OvixPeloraTern7";
inline constexpr wchar_t kSetupTitle[] = L"Ovix Pelora Tern-7 Setup";
// What the setup leaves in the install folder to know it again: the product and version.
inline constexpr wchar_t kInstallMarker[] = L"Tern7Install.ini";
inline constexpr DWORD kExitAlreadyRunning = 3;
inline constexpr DWORD kExitProgramStillRunning = 4;
inline constexpr DWORD kExitFileInUse = 5;
inline constexpr DWORD kExitFolderNotOurs = 6;
inline constexpr DWORD kExitElevated = 7;
inline constexpr DWORD kExitNewerInstalled = 8;
inline constexpr DWORD kSetupTimeoutMs = 60000;

extern const std::wstring kSetupFile;

// Without the trailing backslash, as the setup writes it.
std::wstring InstallFolder();
std::wstring Installed(const std::wstring& name);
std::wstring Shortcut();
// Where a shell link points, or empty when it cannot be read.
std::wstring ShortcutTarget(const std::wstring& link);
std::wstring Lower(std::wstring text);
// Every file the setup copies from the install folder, skins included.
std::vector<std::wstring> ShippedFiles();
// Compared here rather than in an assertion, which would print whole programs.
bool SameBytes(const std::wstring& path, const std::wstring& expectedPath);
bool Holds(const std::wstring& path, const std::string& bytes);

HWND FindTitled(const wchar_t* title);
DWORD ProcessOf(HWND window);
std::wstring ImageOf(DWORD processId);
// The agent's window once its start-up has run (its message loop answers), or null.
HWND WaitForAgent(DWORD notProcess = 0);

std::wstring UninstallEntry(const wchar_t* name);
bool RunValueExists();
bool UninstallEntryExists();

class SetupHarness : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the setup silently or with the arguments, with the user's own rights, and
    // returns its exit code. The process is kept: what it starts belongs to its job and
    // lives until the test ends.
    DWORD RunSetup(const std::wstring& arguments = L"/S");
    // The same, run as administrator (the test process's own, elevated rights).
    DWORD RunSetupElevated();
    // Starts the setup's wizard; the caller drives it.
    ChildProcess& StartWizard();
    // Runs the install's uninstaller silently with the options, until it and the copy of
    // itself it goes on in have ended.
    bool Uninstall(const std::wstring& folder = InstallFolder(), const std::wstring& options = L"");

    // Null where this process's own rights are the user's.
    const UniqueKernelHandle userRights_ = UnelevatedToken();
    ScratchFolder roaming_;
    AppDataRedirect redirect_{roaming_.Path()};
    const std::wstring settingsFolder_ = roaming_.File(names::kDataFolderName) + L"\\";

private:
    DWORD RunAndKeep(const std::wstring& commandLine, HANDLE token);
    void RemoveInstall();
    std::vector<std::unique_ptr<ChildProcess>> processes_;
};
