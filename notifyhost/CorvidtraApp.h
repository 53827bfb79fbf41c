#pragma once
// The tray companion's application object: one instance per session, owner of the tray
// window.
#include <memory>
#include <optional>

#include "ComApartment.h"
#include "Handles.h"
#include "NotifyHost.h"
#include "WinApp.h"

class CCorvidtraApp : public CWinApp {
protected:
    bool InitInstance() override;
    int ExitInstance() override;

private:
    UniqueKernelHandle m_hMutex;
    std::optional<ComApartment> com_;
    std::unique_ptr<CNotifyHost> m_pTrayWnd;
};
