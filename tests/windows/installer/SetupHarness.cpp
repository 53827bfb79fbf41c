#include "SetupHarness.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cwctype>

#include "ComApartment.h"
#include "ComPtr.h"
#include "TestRegistry.h"

const std::wstring kSetupFile = HostPath(TERN7_SETUP_FILE);

namespace {

std::wstring ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

}  // namespace

std::wstring InstallFolder() { return ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\Ovix Pelora\\Tern-7"; }
std::wstring Installed(const std::wstring& name) { return InstallFolder() + L"\\" + name; }
std::wstring Shortcut() { return ShellFolder(CSIDL_PROGRAMS) + L"\\Ovix Pelora Tern-7.lnk"; }

std::wstring ShortcutTarget(const std::wstring& link) {
    const ComApartment com;
    ComPtr<IShellLinkW> shellLink;
    ComPtr<IPersistFile> file;
    wchar_t path[MAX_PATH] = {};
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(shellLink.put()))) ||
        FAILED(shellLink->QueryInterface(IID_PPV_ARGS(file.put()))) || FAILED(file->Load(link.c_str(), STGM_READ)) ||
        FAILED(shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)))
        return {};
    return path;
}

std::wstring Lower(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

std::vector<std::wstring> ShippedFiles() {
    std::vector<std::wstring> files{L"hid.exe",       L"notifyhost.exe", L"OSD.exe",      L"tern7ctl.exe",
                                    L"HidDevice.dll", L"config.ini",     L"macrolist.ini"};
    if (FileExists(DistFolder() + names::kSettingsToolExe)) files.push_back(names::kSettingsToolExe);
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((DistFolder() + L"skins\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files.push_back(std::wstring(L"skins\\") + found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    return files;
}

bool SameBytes(const std::wstring& path, const std::wstring& expectedPath) {
    const std::string bytes = ReadFileBytes(path);
    return !bytes.empty() && bytes == ReadFileBytes(expectedPath);
}

bool Holds(const std::wstring& path, const std::string& bytes) { return ReadFileBytes(path) == bytes; }

HWND FindTitled(const wchar_t* title) { return FindWindowW(nullptr, title); }

DWORD ProcessOf(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}

std::wstring ImageOf(DWORD processId) {
    const UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!process || !QueryFullProcessImageNameW(process.get(), 0, path, &size)) return L"";
    return path;
}

HWND WaitForAgent(DWORD notProcess) {
    HWND agent = nullptr;
    PumpUntil(
        [&] {
            agent = FindTitled(names::kAgentWindowTitle);
            return agent && ProcessOf(agent) != notProcess;
        },
        15000);
    if (!agent || ProcessOf(agent) == notProcess) return nullptr;
    return Answers(agent, 10000) ? agent : nullptr;
}

std::wstring UninstallEntry(const wchar_t* name) { return QueryValue(HKEY_CURRENT_USER, kUninstallKey, name).Text; }
bool RunValueExists() { return QueryValue(HKEY_CURRENT_USER, kRunKey, kRunValue).Exists; }
bool UninstallEntryExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void SetupHarness::SetUp() {
    ASSERT_TRUE(FileExists(kSetupFile)) << "no setup at " << std::string(TERN7_SETUP_FILE)
                                        << ": install the nsis package (makensis) and build the setup target";
    ASSERT_TRUE(userRights_ || !IsElevated(GetCurrentProcess()))
        << "this process runs elevated and has no unelevated token to run the setup with";
    // A test before this one that failed half-way must not decide this one.
    RemoveInstall();
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue);
    RegDeleteTreeW(HKEY_CURRENT_USER, kUninstallKey);
    DeleteFileW(Shortcut().c_str());
    ASSERT_FALSE(FolderExists(InstallFolder()));
}

void SetupHarness::TearDown() {
    RemoveInstall();
    EXPECT_FALSE(FolderExists(InstallFolder())) << "the install could not be removed";
}

DWORD SetupHarness::RunSetup(const std::wstring& arguments) {
    return RunAndKeep(L"\"" + kSetupFile + L"\" " + arguments, userRights_.get());
}

DWORD SetupHarness::RunSetupElevated() { return RunAndKeep(L"\"" + kSetupFile + L"\" /S", nullptr); }

ChildProcess& SetupHarness::StartWizard() {
    processes_.push_back(std::make_unique<ChildProcess>());
    EXPECT_TRUE(processes_.back()->Start(L"\"" + kSetupFile + L"\"", L"", userRights_.get()));
    return *processes_.back();
}

bool SetupHarness::Uninstall(const std::wstring& folder, const std::wstring& options) {
    if (RunAndKeep(L"\"" + folder + L"\\uninstall.exe\" /S" + options, userRights_.get()) != 0) return false;
    // It goes on in a copy of itself after the first process ends, inside the same job.
    const ChildProcess& uninstaller = *processes_.back();
    return PumpUntil([&] { return uninstaller.ProcessesInJob() == 0; }, kSetupTimeoutMs);
}

DWORD SetupHarness::RunAndKeep(const std::wstring& commandLine, HANDLE token) {
    auto process = std::make_unique<ChildProcess>();
    if (!process->Start(commandLine, L"", token)) return 0xFFFFFFFF;
    if (!process->WaitForExit(kSetupTimeoutMs)) return STILL_ACTIVE;
    const DWORD code = process->ExitCode();
    processes_.push_back(std::move(process));
    return code;
}

void SetupHarness::RemoveInstall() {
    if (FileExists(Installed(L"uninstall.exe"))) Uninstall();
    processes_.clear();
}
