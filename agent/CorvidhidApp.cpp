#include "CorvidhidApp.h"

#include "ModulePaths.h"
#include "ProgramNames.h"
#include "SingleInstance.h"

bool CCorvidhidApp::InitInstance() {
    if (!TakeSingleInstance(mutex_, names::kAgentMutex)) return false;
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
