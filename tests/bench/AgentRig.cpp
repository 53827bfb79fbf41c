#include "AgentRig.h"

namespace {

constexpr wchar_t kAgentExe[] = L"hid.exe";

bool CopyInto(const std::wstring& from, const std::wstring& to, std::string& failure) {
    if (CopyFileW(from.c_str(), to.c_str(), FALSE)) return true;
    failure = "cannot copy " + std::string(from.begin(), from.end());
    return false;
}

}  // namespace

AgentRig::AgentRig() = default;

AgentRig::~AgentRig() {
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    agent_.WaitForExit(10000);
}

bool AgentRig::Install(std::string& failure) {
    for (const wchar_t* name :
         {kAgentExe, names::kHidDeviceDll, names::kConfigFile, names::kMacroListFile, names::kNotifyHostExe}) {
        if (!CopyInto(kDistFolder + name, install_.File(name), failure)) return false;
    }
    // The progress window of the apply command draws its skin from here.
    const std::wstring skins = install_.File(L"skins\\");
    CreateDirectoryW(skins.c_str(), nullptr);
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((kDistFolder + L"skins\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return true;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            CopyInto(kDistFolder + L"skins\\" + found.cFileName, skins + found.cFileName, failure);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return failure.empty();
}

bool AgentRig::Start(std::string& failure) {
    if (!mouse_.Ready()) {
        failure = "the virtual mouse is not there";
        return false;
    }
    if (!Install(failure)) return false;
    if (!agent_.Start(L"\"" + install_.File(kAgentExe) + L"\"", install_.Path())) {
        failure = "hid.exe did not start";
        return false;
    }
    window_ = WaitForAnsweringWindow(agent_.Id(), names::kAgentWindowTitle, 30000);
    if (!window_) {
        failure = "the agent's window did not answer";
        return false;
    }
    // Plugged in now, the mouse is taken without the start-up pause.
    if (!mouse_.PlugInUntil([&] { return NotifyHostId() != 0; })) {
        failure = "the agent did not start notifyhost.exe";
        return false;
    }
    return true;
}

DWORD AgentRig::NotifyHostId() const {
    DWORD id = 0;
    if (HWND window = FindWindowW(nullptr, names::kNotifyHostWindowTitle)) GetWindowThreadProcessId(window, &id);
    return id;
}
