#include "SetwellDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "ProgramNames.h"

bool SetwellDriver::Start(const std::wstring& folder, HANDLE token) {
    if (!process_.Start(L"\"" + folder + L"Setwell.exe\"", folder, token)) return false;
    window_ = WaitForAnsweringWindow(process_.Id(), names::kSettingsToolWindowTitle, 15000);
    return window_ != nullptr;
}

void SetwellDriver::CloseDiscardingEdits() {
    if (!window_ || !IsWindow(window_)) return;
    PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitForExit());
}

void SetwellDriver::Command(int id, WORD code) const {
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Item(id)));
}

bool SetwellDriver::Select(int id, LPARAM value) const {
    const HWND list = Item(id);
    const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(i), 0) != value) continue;
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        Command(id, CBN_SELCHANGE);
        return true;
    }
    return false;
}

LPARAM SetwellDriver::Selected(int id) const {
    const LRESULT index = SendMessageW(Item(id), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : SendMessageW(Item(id), CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
}

void SetwellDriver::Click(int id) const { Command(id, BN_CLICKED); }

void SetwellDriver::SetChecked(int id, bool checked) const {
    SendMessageW(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    Command(id, BN_CLICKED);
}

void SetwellDriver::SetTrackbar(int id, int position) const {
    SendMessageW(Item(id), TBM_SETPOS, TRUE, position);
    SendMessageW(window_, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(Item(id)));
}

void SetwellDriver::Type(int id, const std::wstring& text) const {
    SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SetwellDriver::Key(int id, UINT virtualKey, bool release) const {
    const LPARAM data = release ? static_cast<LPARAM>(0xC0000001u) : 1;
    SendMessageW(Item(id), release ? WM_KEYUP : WM_KEYDOWN, virtualKey, data);
}

std::wstring SetwellDriver::Text(int id) const {
    wchar_t text[512] = {};
    SendMessageW(Item(id), WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return text;
}

bool SetwellDriver::WaitForText(int id, const std::wstring& text, DWORD timeoutMs) const {
    return PumpUntil([&] { return Text(id) == text; }, timeoutMs);
}

HWND SetwellDriver::WaitForQuestion(DWORD timeoutMs) {
    return WaitForWindowOf(process_.Id(), L"Tern-7 settings", timeoutMs);
}
