#include "ConfigCommands.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "ConfigLock.h"
#include "ConsoleOutput.h"
#include "DataFolders.h"
#include "ExitCodes.h"
#include "IniEntryText.h"
#include "PathChecks.h"

namespace {

// Longest name list read; far beyond any config.ini, it only bounds a damaged file.
constexpr std::size_t kMaxListChars = 1 << 20;

// A command on the console may wait for another program's write far longer than a
// window's thread may.
constexpr DWORD kLockWaitMs = 10000;

// The section names of the file (section null) or the key names of one section.
std::vector<std::wstring> ListNames(const wchar_t* section, const std::wstring& path) {
    std::wstring buffer(8192, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetPrivateProfileStringW(section, nullptr, L"", buffer.data(), size, path.c_str());
        // A full buffer reports size - 2: the list may go on.
        if (length + 2 < size || buffer.size() >= kMaxListChars) {
            buffer.resize(std::min<std::size_t>(length, buffer.size()));
            return SplitNameList(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Names in config.ini match without regard to case, as the profile functions match them.
bool ContainsName(const std::vector<std::wstring>& names, const std::wstring& name) {
    return std::any_of(names.begin(), names.end(), [&](const std::wstring& candidate) {
        return CompareStringOrdinal(candidate.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
    });
}

// The system's text for an error code, without its line break.
std::wstring SystemMessage(DWORD error) {
    wchar_t* message = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    std::wstring text = message ? message : L"unknown error";
    LocalFree(message);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text;
}

bool ReportMissingFile(const IniFile& config) {
    if (FileExists(config.Path())) return false;
    PrintError(L"tern7ctl: no settings file " + config.Path());
    return true;
}

}  // namespace

int ShowSettings() {
    const IniFile config = UserConfig();
    if (ReportMissingFile(config)) return kExitFailed;
    PrintLine(L"; " + config.Path());
    for (const std::wstring& section : ListNames(nullptr, config.Path())) {
        PrintLine(L"");
        PrintLine(L"[" + section + L"]");
        for (const std::wstring& key : ListNames(section.c_str(), config.Path()))
            PrintLine(L"  " + key + L" = " + config.ReadString(section, key, L""));
    }
    return kExitOk;
}

int GetSetting(const std::wstring& section, const std::wstring& key) {
    const IniFile config = UserConfig();
    if (ReportMissingFile(config)) return kExitFailed;
    if (!ContainsName(ListNames(nullptr, config.Path()), section)) {
        PrintError(L"tern7ctl: no section [" + section + L"] in " + config.Path());
        return kExitFailed;
    }
    if (!ContainsName(ListNames(section.c_str(), config.Path()), key)) {
        PrintError(L"tern7ctl: no key " + key + L" in section [" + section + L"] of " + config.Path());
        return kExitFailed;
    }
    PrintLine(config.ReadString(section, key, L""));
    return kExitOk;
}

int SetSetting(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    // A file holding only this key would stop the agent's first-run copy and so lose
    // every default setting; make that copy first.
    const IniFile config = UserConfig();
    DWORD error = EnsureUserConfig(kLockWaitMs) ? 0 : ERROR_TIMEOUT;
    if (!error) {
        // Released before anything is printed: a console can be held up by its reader.
        const ConfigLock lock(kLockWaitMs);
        error = lock.Held() ? config.WriteString(section, key, value) : ERROR_TIMEOUT;
    }
    if (error) {
        wchar_t code[16];
        swprintf(code, 16, L"0x%08lX", error);
        PrintError(L"tern7ctl: could not write " + key + L" in section [" + section + L"] of " + config.Path() + L" (" +
                   SystemMessage(error) + L", " + code + L")");
        return kExitFailed;
    }
    return kExitOk;
}
