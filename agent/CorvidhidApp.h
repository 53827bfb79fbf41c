#pragma once
// The agent's application object: one instance per session, owner of the main window.
#include <memory>
#include <optional>

#include "ComApartment.h"
#include "CorvidhidDlg.h"
#include "Handles.h"
#include "WinApp.h"

class CCorvidhidApp : public CWinApp {
protected:
    bool InitInstance() override;
    int ExitInstance() override;

private:
    UniqueKernelHandle mutex_;
    // Outlives the main window and everything it created.
    std::optional<ComApartment> com_;
    std::unique_ptr<CCorvidhidDlg> dialog_;
};
