#pragma once
// CDialog: a modeless dialog made from a dialog template resource. Messages go to
// OnMessage as for any CWnd; Enter and Escape arrive as OnOK and OnCancel.
#include "Wnd.h"

class CDialog : public CWnd {
public:
    // Creates the dialog from template templateId of this program's resources.
    bool Create(UINT templateId, HWND parent);

protected:
    virtual bool OnInitDialog() { return true; }
    // By default both end the modeless dialog.
    virtual void OnOK() { DestroyWindow(); }
    virtual void OnCancel() { DestroyWindow(); }

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};
