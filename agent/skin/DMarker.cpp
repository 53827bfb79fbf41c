#include "DMarker.h"

#include <windowsx.h>

#include "GdiScopes.h"
#include "MarkerGeometry.h"
#include "SkinImage.h"

const MessageMapEntry<CDMarker> CDMarker::kMessageMap[] = {
    {WM_PAINT, &CDMarker::OnPaint},
    {WM_LBUTTONDOWN, &CDMarker::OnLButtonDown},
    {WM_MOUSEMOVE, &CDMarker::OnMouseMove},
    {WM_LBUTTONUP, &CDMarker::OnLButtonUp},
    {WM_CAPTURECHANGED, &CDMarker::OnCaptureChanged},
    {WM_KILLFOCUS, &CDMarker::OnKillFocus},
};

bool CDMarker::CreateMarker(const RECT& rect, const std::wstring& text, HWND parent, UINT id) {
    id_ = id;
    text_ = text;
    rect_ = rect;
    parent_ = parent;
    draggable_ = true;
    minimum_ = 0;
    maximum_ = 10;
    position_ = 0;
    dragging_ = false;
    return CreateEx(0, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void CDMarker::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
}

void CDMarker::SetPos(int value) {
    position_ = PositionOrMinimum(value, minimum_, maximum_);
    // The owner may be busy and not return to its message loop: paint now.
    if (const HWND window = GetSafeHwnd()) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
}

void CDMarker::SetBarImages(const RECT& source, HBITMAP empty, HBITMAP full) {
    const WindowDc dc(GetSafeHwnd());
    CopyBitmapRect(dc.Dc(), emptyBitmap_, empty, source);
    CopyBitmapRect(dc.Dc(), fullBitmap_, full, source);
}

bool CDMarker::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    return RouteMessage<CDMarker>(*this, kMessageMap, message, wParam, lParam, result);
}

LRESULT CDMarker::OnPaint(WPARAM, LPARAM) {
    const PaintScope paint(GetSafeHwnd());
    DrawBar(paint.Dc());
    return 0;
}

void CDMarker::DrawBar(HDC dc) const {
    const int width = rect_.right - rect_.left;
    const int height = rect_.bottom - rect_.top;
    const int fill = FillWidth(width, position_, minimum_, maximum_);
    UniqueDc sourceDc(CreateCompatibleDC(dc));
    UniqueDc bufferDc(CreateCompatibleDC(dc));
    UniqueBitmap buffer(CreateCompatibleBitmap(dc, width, height));
    if (!sourceDc || !bufferDc || !buffer) return;

    const SelectionScope selectBuffer(bufferDc.get(), buffer.get());
    {
        const SelectionScope selectEmpty(sourceDc.get(), emptyBitmap_.get());
        if (selectEmpty.Selected()) BitBlt(bufferDc.get(), 0, 0, width, height, sourceDc.get(), 0, 0, SRCCOPY);
    }
    if (fill > 0) {
        const SelectionScope selectFull(sourceDc.get(), fullBitmap_.get());
        if (selectFull.Selected()) BitBlt(bufferDc.get(), 0, 0, fill, height, sourceDc.get(), 0, 0, SRCCOPY);
    }
    SetBkMode(bufferDc.get(), TRANSPARENT);
    if (!text_.empty()) {
        RECT textRect = rect_;
        DrawTextW(bufferDc.get(), text_.c_str(), static_cast<int>(text_.size()), &textRect,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    BitBlt(dc, 0, 0, width, height, bufferDc.get(), 0, 0, SRCCOPY);
}

LRESULT CDMarker::OnLButtonDown(WPARAM wParam, LPARAM lParam) {
    if (draggable_) {
        SetCapture(GetSafeHwnd());
        dragging_ = true;
    }
    return Default(WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT CDMarker::OnMouseMove(WPARAM wParam, LPARAM lParam) {
    if (dragging_) {
        SetPosFromPoint(lParam);
        Invalidate();
    }
    return Default(WM_MOUSEMOVE, wParam, lParam);
}

LRESULT CDMarker::OnLButtonUp(WPARAM wParam, LPARAM lParam) {
    dragging_ = false;
    // A click without a drag moves the position too.
    SetPosFromPoint(lParam);
    const LRESULT result = Default(WM_LBUTTONUP, wParam, lParam);
    ReleaseCapture();
    Invalidate();
    return result;
}

LRESULT CDMarker::OnCaptureChanged(WPARAM wParam, LPARAM lParam) {
    if (dragging_) {
        ReleaseCapture();
        Invalidate();
    }
    return Default(WM_CAPTURECHANGED, wParam, lParam);
}

LRESULT CDMarker::OnKillFocus(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = Default(WM_KILLFOCUS, wParam, lParam);
    dragging_ = false;
    Invalidate();
    return result;
}

void CDMarker::SetPosFromPoint(LPARAM lParam) {
    // The stored rectangle is in the parent's client coordinates.
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(GetSafeHwnd(), &point);
    ScreenToClient(parent_, &point);
    position_ = PositionAtX(point.x, rect_.left, rect_.right, minimum_, maximum_);
}

void CDMarker::Invalidate() { InvalidateRect(GetSafeHwnd(), nullptr, TRUE); }
