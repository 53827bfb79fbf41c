#pragma once
// CDMarker: a bar drawn from two images, the empty bar across its whole width and the
// full bar from the left up to its position, with a text centred on it. A left-button
// drag or click moves the position; nobody is told.
#include <windows.h>

#include <string>

#include "Handles.h"
#include "MessageMap.h"
#include "Wnd.h"

class CDMarker : public CWnd {
public:
    CDMarker() = default;
    ~CDMarker() override = default;

    // Creates the visible child control over rect (parent's client coordinates), range
    // 0 to 10 at position 0.
    bool CreateMarker(const RECT& rect, const std::wstring& text, HWND parent, UINT id);

    // Keeps the position and does not repaint.
    void SetRange(int minimum, int maximum);
    // Takes value if it lies within the range, else the minimum, and repaints at once.
    void SetPos(int value);
    int GetPos() const { return position_; }

    // Copies the source part of empty and full as the bar's images; no repaint.
    void SetBarImages(const RECT& source, HBITMAP empty, HBITMAP full);

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnLButtonUp(WPARAM wParam, LPARAM lParam);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnKillFocus(WPARAM wParam, LPARAM lParam);

    // Composes the bar off screen and copies it to dc in one go.
    void DrawBar(HDC dc) const;
    void SetPosFromPoint(LPARAM lParam);
    void Invalidate();

    static const MessageMapEntry<CDMarker> kMessageMap[];

    UINT id_ = 0;
    UniqueBitmap emptyBitmap_;
    UniqueBitmap fullBitmap_;
    bool dragging_ = false;
    RECT rect_{};
    HWND parent_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 10;
    int position_ = 0;
    bool draggable_ = true;
    std::wstring text_;
};
