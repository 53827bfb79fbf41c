#include "ProgressDlg.h"

#include "GdiScopes.h"
#include "IniFile.h"
#include "MaskRegion.h"
#include "ModulePaths.h"
#include "PathText.h"
#include "ProgressDialogResource.h"
#include "SkinImage.h"

namespace {

constexpr wchar_t kWindowTitle[] = L"OvixTessalyProgressbar";
constexpr wchar_t kSkinFolder[] = L"skins";
constexpr wchar_t kMaskImage[] = L"updatebar_Mask.BMP";
constexpr wchar_t kEmptyBarImage[] = L"updatebar_n.jpg";
constexpr wchar_t kFullBarImage[] = L"updatebar_o.jpg";
constexpr wchar_t kSkinStrings[] = L"string_notifyhost.ini";
constexpr wchar_t kStringSection[] = L"TRAY_STRING";
constexpr wchar_t kBarTextKey[] = L"3";

constexpr COLORREF kOutsideColor = RGB(255, 255, 255);
constexpr COLORREF kExactColor = RGB(0, 0, 0);

}  // namespace

const MessageMapEntry<CProgressDlg> CProgressDlg::kMessageMap[] = {
    {WM_PAINT, &CProgressDlg::OnPaint},
    {WM_ERASEBKGND, &CProgressDlg::OnEraseBkgnd},
};

bool CProgressDlg::Create(HWND parent) { return CDialog::Create(IDD_PROGRESS, parent); }

void CProgressDlg::ShowCentred() {
    const HWND window = GetSafeHwnd();
    const int x = (GetSystemMetrics(SM_CXSCREEN) - barWidth_) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - barHeight_) / 2;
    SetWindowPos(window, HWND_TOPMOST, x, y, barWidth_, barHeight_, SWP_NOSIZE);
    SetWindowTextW(window, kWindowTitle);
    SetProgress(0);
    ShowWindow(window, SW_SHOW);
}

void CProgressDlg::Close() {
    if (const HWND window = GetSafeHwnd()) ShowWindow(window, SW_HIDE);
    DestroyWindow();
}

void CProgressDlg::SetProgress(int percent) { bar_.SetPos(percent); }

bool CProgressDlg::OnInitDialog() {
    // The framework hands dialogs no WM_CREATE: the skin is loaded here, before the range.
    LoadSkin();
    bar_.SetRange(0, 100);
    return true;
}

void CProgressDlg::LoadSkin() {
    const std::wstring skins = JoinPath(ProgramFolder(), kSkinFolder);
    LoadSkinImage(JoinPath(skins, kMaskImage), maskBitmap_);
    const SIZE emptySize = LoadSkinImage(JoinPath(skins, kEmptyBarImage), emptyBitmap_);
    barWidth_ = emptySize.cx;
    barHeight_ = emptySize.cy;
    UniqueBitmap fullBitmap;
    const SIZE fullSize = LoadSkinImage(JoinPath(skins, kFullBarImage), fullBitmap);
    barText_ = IniFile(JoinPath(skins, kSkinStrings)).ReadString(kStringSection, kBarTextKey, L"");

    const RECT barRect{0, 0, fullSize.cx, fullSize.cy};
    bar_.CreateMarker(barRect, barText_, GetSafeHwnd(), 0);
    bar_.SetBarImages(barRect, emptyBitmap_.get(), fullBitmap.get());

    // Without a region the window keeps its rectangle.
    if (UniqueRegion region = RegionFromMask(maskBitmap_.get(), kOutsideColor, kExactColor)) {
        // Once the window takes the region the system owns it; a refused one stays ours.
        if (SetWindowRgn(GetSafeHwnd(), region.get(), TRUE)) region.release();
    }
}

bool CProgressDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_DESTROY) {
        maskBitmap_.reset();
        emptyBitmap_.reset();
        return false;
    }
    if (RouteMessage<CProgressDlg>(*this, kMessageMap, message, wParam, lParam, result)) return true;
    return CDialog::OnMessage(message, wParam, lParam, result);
}

LRESULT CProgressDlg::OnPaint(WPARAM, LPARAM) {
    const PaintScope paint(GetSafeHwnd());
    RECT client{};
    GetClientRect(GetSafeHwnd(), &client);
    UniqueDc imageDc(CreateCompatibleDC(paint.Dc()));
    if (!imageDc) return 0;
    const SelectionScope selectImage(imageDc.get(), emptyBitmap_.get());
    if (selectImage.Selected()) {
        BitBlt(paint.Dc(), client.left, client.top, client.right - client.left, client.bottom - client.top,
               imageDc.get(), 0, 0, SRCCOPY);
    }
    return 0;
}

// The images cover the window; erasing first would only flicker.
LRESULT CProgressDlg::OnEraseBkgnd(WPARAM, LPARAM) { return TRUE; }
