#include "Dialog.h"

bool CDialog::Create(UINT templateId, HWND parent) {
    if (GetSafeHwnd()) return false;
    return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), parent,
                              &CDialog::StaticDialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

bool CDialog::OnMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
    switch (LOWORD(wParam)) {
        case IDOK: OnOK(); break;
        case IDCANCEL: OnCancel(); break;
        default: return false;
    }
    result = 0;
    return true;
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->Attach(hwnd);
        return dialog->OnInitDialog() ? TRUE : FALSE;
    }
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!dialog) return FALSE;

    LRESULT result = 0;
    const bool handled = dialog->OnMessage(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) dialog->OnWindowGone();
    if (!handled) return FALSE;
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
