#pragma once
// Setwell.exe run from an install folder, driven through its controls with the messages
// that a user's clicks and keys produce.
#include <windows.h>

#include <string>

#include "TestProcess.h"

class SetwellDriver {
public:
    // Starts folder's Setwell.exe, with token's rights (none: this process's), and waits
    // until its window answers.
    bool Start(const std::wstring& folder, HANDLE token = nullptr);
    HWND Window() const { return window_; }
    ChildProcess& Process() { return process_; }

    HWND Item(int id) const { return GetDlgItem(window_, id); }
    // Picks the list item that stands for value, as a click in the drop-down list does.
    bool Select(int id, LPARAM value) const;
    LPARAM Selected(int id) const;
    void Click(int id) const;
    void SetChecked(int id, bool checked) const;
    void SetTrackbar(int id, int position) const;
    void Type(int id, const std::wstring& text) const;
    // A key pressed and released while the control has the focus.
    void Key(int id, UINT virtualKey, bool release) const;
    std::wstring Text(int id) const;
    bool WaitForText(int id, const std::wstring& text, DWORD timeoutMs = 10000) const;

    // The unsaved-changes question after a close request; null when none came.
    HWND WaitForQuestion(DWORD timeoutMs = 10000);
    bool WaitForExit(DWORD timeoutMs = 10000) { return process_.WaitForExit(timeoutMs); }
    // Ends a window still open with Cancel, which closes it without asking about edits.
    void CloseDiscardingEdits();

private:
    void Command(int id, WORD code) const;
    ChildProcess process_;
    HWND window_ = nullptr;
};
