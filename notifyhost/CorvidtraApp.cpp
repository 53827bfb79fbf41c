#include "CorvidtraApp.h"

#include "ProgramNames.h"
#include "SingleInstance.h"

bool CCorvidtraApp::InitInstance() {
    // Another instance shows the icon; leave it alone.
    if (!TakeSingleInstance(m_hMutex, names::kNotifyHostMutex)) return false;

    // The shell's icon lookup and program start expect COM on this thread.
    com_.emplace(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    m_pTrayWnd = std::make_unique<CNotifyHost>();
    // Without its window nothing could ever close the program; end at once instead.
    if (!m_pTrayWnd->CreateHiddenWindow()) return false;
    SetMainWindow(*m_pTrayWnd);
    return true;
}

int CCorvidtraApp::ExitInstance() {
    m_pTrayWnd.reset();
    com_.reset();
    m_hMutex.reset();
    return CWinApp::ExitInstance();
}
