#include "ZoomTarget.h"

#include <array>
#include <string_view>

namespace {

constexpr std::array<std::wstring_view, 7> kDocumentClasses = {
    L"_WwG", L"paneClassDC", L"VISIOG", L"PSViewC", L"EditControl", L"FrontPageEditorDocumentView", L"EXCEL7"};
constexpr std::wstring_view kBrowserView = L"Internet Explorer_Server";
constexpr std::wstring_view kBrowserTabs = L"TabWindowClass";
constexpr std::wstring_view kPaintView = L"MSPaintView";
constexpr std::wstring_view kPhotoPreview = L"ShImgVw:CPreviewWnd";
constexpr int kPause = 100;

std::vector<InputStep> CtrlWheel(int delta) {
    return {KeyDown(vk::kLeftControl), Pause(kPause), Wheel(delta), Pause(kPause), KeyUp(vk::kLeftControl)};
}

std::vector<InputStep> CtrlKey(int key) {
    return {KeyDown(vk::kLeftControl), Pause(kPause), KeyDown(key), Pause(kPause), KeyUp(key), Pause(kPause),
            KeyUp(vk::kLeftControl)};
}

}  // namespace

ZoomMarks MarkZoomTarget(const WindowLineage& lineage) {
    // One class-name buffer is compared throughout, and some tests refill it with the
    // parent's or grandparent's class: later tests see what the earlier ones left.
    ZoomMarks marks;
    std::wstring_view buffer = lineage.Self;
    for (std::wstring_view name : kDocumentClasses) marks.Document = marks.Document || buffer == name;
    if (buffer == kBrowserView) {
        buffer = lineage.Grandparent;
        marks.TabbedBrowser = buffer == kBrowserTabs;
        marks.UntabbedBrowser = !marks.TabbedBrowser;
    }
    marks.KeypadViewer = buffer == L"ImageViewWndClass";
    marks.CtrlKeypadViewer = buffer == L"AfxWnd42s" || buffer == L"AVL_AVView";
    marks.PaintView = buffer == kPaintView;
    if (buffer.size() > 20) {
        buffer = lineage.Parent;
        marks.PaintView = marks.PaintView || buffer == kPaintView;
    }
    marks.PhotoView = buffer == L"Photos_PhotoCanvas";
    if (buffer == kPhotoPreview) {
        marks.PhotoView = true;
    } else {
        buffer = lineage.Parent;
        marks.PhotoView = marks.PhotoView || buffer == kPhotoPreview;
    }
    return marks;
}

std::vector<InputStep> ZoomInput(const ZoomMarks& marks, ZoomDirection direction) {
    const bool in = direction == ZoomDirection::In;
    const int delta = in ? kWheelNotch : -kWheelNotch;
    if (marks.Document) return CtrlWheel(delta);
    if (marks.UntabbedBrowser) return CtrlWheel(-delta);
    if (marks.TabbedBrowser) return CtrlWheel(delta);
    const int zoomKey = in ? vk::kKeypadPlus : vk::kKeypadMinus;
    if (marks.KeypadViewer) return {KeyDown(zoomKey), Pause(kPause), KeyUp(zoomKey)};
    if (marks.CtrlKeypadViewer) return CtrlKey(zoomKey);
    if (marks.PaintView) return CtrlKey(in ? vk::kPageUp : vk::kPageDown);
    if (marks.PhotoView) return {Wheel(delta)};
    return {};
}
