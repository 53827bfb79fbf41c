#include "AgentRig.h"

namespace {

constexpr wchar_t kAgentExe[] = L"hid.exe";

}  // namespace

AgentRig::AgentRig() = default;

AgentRig::~AgentRig() {
    if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
    agent_.WaitForExit(10000);
}

bool AgentRig::Install(std::string& failure) {
    // The progress window of the apply command draws its skin from the skins folder.
    if (install_.AddAll({kAgentExe, names::kHidDeviceDll, names::kConfigFile, names::kMacroListFile,
                         names::kNotifyHostExe, L"skins"}))
        return true;
    failure = "the install folder could not be laid out";
    return false;
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
