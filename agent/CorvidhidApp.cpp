#include "CorvidhidApp.h"

#include "ModulePaths.h"
#include "ProgramNames.h"

bool CCorvidhidApp::InitInstance() {
    mutex_.reset(CreateMutexW(nullptr, FALSE, names::kAgentMutex));
    if (GetLastError() == ERROR_ALREADY_EXISTS) return false;
    // Whatever folder started the agent, a relative name it opens must not be looked up
    // there; only administrators write to the system folder.
    SetCurrentDirectoryW(SystemFolder().c_str());

    // The shell calls of the agent may use COM, for as long as the agent runs.
    com_.emplace(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    dialog_ = std::make_unique<CCorvidhidDlg>();
    if (!dialog_->Create()) return false;
    SetMainWindow(*dialog_);
    return true;
}

int CCorvidhidApp::ExitInstance() {
    dialog_.reset();
    com_.reset();
    mutex_.reset();
    return CWinApp::ExitInstance();
}
