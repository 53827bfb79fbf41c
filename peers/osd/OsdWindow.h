#pragma once
// The display's window: topmost, never active, click-through; it shows one notice near
// the bottom centre of the screen for about a second and a half and then fades.
#include <windows.h>

#include <string>

#include "Handles.h"
#include "MessageMap.h"
#include "Wnd.h"

class COsdWindow : public CWnd {
public:
    bool Create();

    static constexpr int kWidth = 280;
    static constexpr int kHeight = 72;

protected:
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LRESULT OnNotice(WPARAM wParam, LPARAM lParam);
    LRESULT OnValueNotice(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseActivate(WPARAM wParam, LPARAM lParam);

    void Show(std::wstring text);
    void SetAlpha(int alpha);

    static const MessageMapEntry<COsdWindow> kMessageMap[];

    std::wstring text_;
    int alpha_ = 0;
    UniqueFont font_;
};
