#include "OsdWindow.h"

#include <algorithm>

#include "GdiScopes.h"
#include "NoticeText.h"
#include "OsdContract.h"
#include "ProgramNames.h"

namespace {

constexpr UINT_PTR kHoldTimer = 1;
constexpr UINT_PTR kFadeTimer = 2;
constexpr UINT kHoldMs = 1200;
constexpr UINT kFadeStepMs = 30;
constexpr int kOpaque = 230;
constexpr int kFadeStep = 23;  // ten steps, 300 ms
constexpr COLORREF kBackground = RGB(24, 28, 36);
constexpr COLORREF kAccent = RGB(0, 170, 255);
constexpr COLORREF kText = RGB(255, 255, 255);
constexpr int kBottomMargin = 96;

}  // namespace

const MessageMapEntry<COsdWindow> COsdWindow::kMessageMap[] = {
    {osd::kMsgNotice, &COsdWindow::OnNotice}, {osd::kMsgValueNotice, &COsdWindow::OnValueNotice},
    {WM_PAINT, &COsdWindow::OnPaint},         {WM_TIMER, &COsdWindow::OnTimer},
    {WM_NCHITTEST, &COsdWindow::OnNcHitTest}, {WM_MOUSEACTIVATE, &COsdWindow::OnMouseActivate},
};

bool COsdWindow::Create() {
    // Layered and transparent: clicks go through to whatever lies below.
    constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT;
    if (!CreateEx(kExStyle, names::kOsdWindowTitle, WS_POPUP, 0, 0, kWidth, kHeight)) return false;
    font_.reset(CreateFontW(-30, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Segoe UI"));
    return true;
}

bool COsdWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return RouteMessage<COsdWindow>(*this, kMessageMap, message, wParam, lParam, result);
}

LRESULT COsdWindow::OnNotice(WPARAM wParam, LPARAM lParam) {
    Show(NoticeText(osd::kMsgNotice, static_cast<int>(wParam), static_cast<int>(lParam)));
    return 0;
}

LRESULT COsdWindow::OnValueNotice(WPARAM wParam, LPARAM lParam) {
    Show(NoticeText(osd::kMsgValueNotice, static_cast<int>(wParam), static_cast<int>(lParam)));
    return 0;
}

void COsdWindow::Show(std::wstring text) {
    if (text.empty()) return;
    text_ = std::move(text);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + (work.right - work.left - kWidth) / 2;
    const int y = work.bottom - kHeight - kBottomMargin;
    SetAlpha(kOpaque);
    SetWindowPos(GetSafeHwnd(), HWND_TOPMOST, x, y, kWidth, kHeight, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
    // A new notice replaces the old one and starts its time again.
    KillTimer(GetSafeHwnd(), kFadeTimer);
    SetTimer(GetSafeHwnd(), kHoldTimer, kHoldMs, nullptr);
}

void COsdWindow::SetAlpha(int alpha) {
    alpha_ = std::clamp(alpha, 0, 255);
    SetLayeredWindowAttributes(GetSafeHwnd(), 0, static_cast<BYTE>(alpha_), LWA_ALPHA);
}

LRESULT COsdWindow::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam == kHoldTimer) {
        KillTimer(GetSafeHwnd(), kHoldTimer);
        SetTimer(GetSafeHwnd(), kFadeTimer, kFadeStepMs, nullptr);
    } else if (wParam == kFadeTimer) {
        SetAlpha(alpha_ - kFadeStep);
        if (alpha_ == 0) {
            KillTimer(GetSafeHwnd(), kFadeTimer);
            ShowWindow(GetSafeHwnd(), SW_HIDE);
        }
    }
    return 0;
}

LRESULT COsdWindow::OnPaint(WPARAM, LPARAM) {
    const PaintScope paint(GetSafeHwnd());
    const HDC dc = paint.Dc();
    RECT client;
    GetClientRect(GetSafeHwnd(), &client);
    {
        UniqueBrush background(CreateSolidBrush(kBackground));
        FillRect(dc, &client, background.get());
        UniqueBrush accent(CreateSolidBrush(kAccent));
        RECT bar = client;
        bar.right = bar.left + 6;
        FillRect(dc, &bar, accent.get());
    }
    const SelectionScope selectFont(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kText);
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return 0;
}

LRESULT COsdWindow::OnNcHitTest(WPARAM, LPARAM) { return HTTRANSPARENT; }

LRESULT COsdWindow::OnMouseActivate(WPARAM, LPARAM) { return MA_NOACTIVATE; }
