#pragma once
// CProgressDlg: the skinned, bar-shaped window shown while settings go to the mouse. Its
// look comes from skins\updatebar_n.jpg (empty bar), updatebar_o.jpg (full bar) and
// updatebar_Mask.BMP (pure white is outside the window) beside the program, and the bar
// text from key "3" of section "TRAY_STRING" of skins\string_notifyhost.ini.
//
// The program's resources must hold dialog template IDD_PROGRESS (ProgressDialog.rc),
// and the thread must have initialised COM (the images are decoded through it).
#include <windows.h>

#include <string>

#include "DMarker.h"
#include "Dialog.h"
#include "Handles.h"
#include "MessageMap.h"

class CProgressDlg : public CDialog {
public:
    CProgressDlg() = default;
    // Ends the window while the bar and the images it paints with still exist.
    ~CProgressDlg() override { DestroyWindow(); }

    // Creates the hidden window, owned by parent, with the skin loaded and range 0..100.
    bool Create(HWND parent);

    // Centres the window on the screen above every non-topmost window, titles it
    // "OvixTessalyProgressbar", empties the bar and shows it.
    void ShowCentred();
    // Hides and destroys the window.
    void Close();

    // The size of the empty bar image, in pixels.
    int GetBarWidth() const { return barWidth_; }
    int GetBarHeight() const { return barHeight_; }

    // Shows percent (0..100) at once; any other value shows an empty bar.
    void SetProgress(int percent);

protected:
    bool OnInitDialog() override;
    // Enter and Escape must not end the window; only its owner does.
    void OnOK() override {}
    void OnCancel() override {}
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);

    void LoadSkin();

    static const MessageMapEntry<CProgressDlg> kMessageMap[];

    std::wstring barText_;
    UniqueBitmap maskBitmap_;
    UniqueBitmap emptyBitmap_;
    int barWidth_ = 0;
    int barHeight_ = 0;
    CDMarker bar_;
};
