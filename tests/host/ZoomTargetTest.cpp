#include <gtest/gtest.h>

#include "ZoomTarget.h"

namespace {

std::vector<InputStep> Zoom(const WindowLineage& lineage, ZoomDirection direction) {
    return ZoomInput(MarkZoomTarget(lineage), direction);
}

constexpr auto In = ZoomDirection::In;
constexpr auto Out = ZoomDirection::Out;

TEST(ZoomTarget, DocumentsGetControlWithAWheelNotch) {
    const std::vector<InputStep> expected = {KeyDown(0xA2), Pause(100), Wheel(120), Pause(100), KeyUp(0xA2)};
    for (const wchar_t* name :
         {L"_WwG", L"paneClassDC", L"VISIOG", L"PSViewC", L"EditControl", L"FrontPageEditorDocumentView", L"EXCEL7"})
        EXPECT_EQ(Zoom({name, L"", L""}, In), expected) << std::wstring(name).size();
    EXPECT_EQ(Zoom({L"EXCEL7", L"", L""}, Out)[2], Wheel(-120));
}

TEST(ZoomTarget, BrowserViewsZoomByTheirTabbing) {
    EXPECT_EQ(Zoom({L"Internet Explorer_Server", L"Shell DocObject View", L"TabWindowClass"}, In)[2], Wheel(120));
    EXPECT_EQ(Zoom({L"Internet Explorer_Server", L"Shell DocObject View", L"IEFrame"}, In)[2], Wheel(-120));
    EXPECT_EQ(Zoom({L"Internet Explorer_Server", L"", L""}, Out)[2], Wheel(120));
    const ZoomMarks tabbed = MarkZoomTarget({L"Internet Explorer_Server", L"x", L"TabWindowClass"});
    EXPECT_TRUE(tabbed.TabbedBrowser);
    EXPECT_FALSE(tabbed.UntabbedBrowser);
}

TEST(ZoomTarget, ViewersGetKeys) {
    EXPECT_EQ(Zoom({L"ImageViewWndClass", L"", L""}, In),
              (std::vector<InputStep>{KeyDown(0x6B), Pause(100), KeyUp(0x6B)}));
    EXPECT_EQ(Zoom({L"AVL_AVView", L"", L""}, Out),
              (std::vector<InputStep>{KeyDown(0xA2), Pause(100), KeyDown(0x6D), Pause(100), KeyUp(0x6D), Pause(100),
                                      KeyUp(0xA2)}));
    EXPECT_EQ(Zoom({L"AfxWnd42s", L"", L""}, In)[2], KeyDown(0x6B));
    EXPECT_EQ(Zoom({L"MSPaintView", L"", L""}, In)[2], KeyDown(0x21));
}

TEST(ZoomTarget, APaintViewChildIsKnownByItsParentOnlyWhenItsClassIsLong) {
    const std::wstring long21(21, L'x');
    EXPECT_EQ(Zoom({long21, L"MSPaintView", L""}, Out)[2], KeyDown(0x22));
    EXPECT_TRUE(Zoom({std::wstring(20, L'x'), L"MSPaintView", L""}, Out).empty());
}

TEST(ZoomTarget, PhotoViewsGetAPlainNotch) {
    EXPECT_EQ(Zoom({L"Photos_PhotoCanvas", L"", L""}, In), std::vector<InputStep>{Wheel(120)});
    EXPECT_EQ(Zoom({L"ShImgVw:CPreviewWnd", L"", L""}, Out), std::vector<InputStep>{Wheel(-120)});
    EXPECT_EQ(Zoom({L"Static", L"ShImgVw:CPreviewWnd", L""}, In), std::vector<InputStep>{Wheel(120)});
}

TEST(ZoomTarget, PriorityDecidesWhenSeveralMarksAreSet) {
    const ZoomMarks both = MarkZoomTarget({L"EXCEL7", L"ShImgVw:CPreviewWnd", L""});
    EXPECT_TRUE(both.Document);
    EXPECT_TRUE(both.PhotoView);
    EXPECT_EQ(Zoom({L"EXCEL7", L"ShImgVw:CPreviewWnd", L""}, In).size(), 5u) << "the document's Ctrl-wheel";
    // A browser view whose grandparent happens to be an image viewer: the browser wins.
    EXPECT_EQ(Zoom({L"Internet Explorer_Server", L"", L"ImageViewWndClass"}, In)[0], KeyDown(0xA2));
}

TEST(ZoomTarget, UnknownWindowsGetNothing) {
    for (const wchar_t* name : {L"excel7", L"EXCEL", L"EXCEL7 ", L"", L"Notepad", L"TabWindowClass"})
        EXPECT_TRUE(Zoom({name, L"", L""}, In).empty()) << "class of length " << std::wstring(name).size();
}

TEST(ZoomTarget, TheTimerTabIsOneExtendedPress) {
    EXPECT_EQ(TabPress(), (std::vector<InputStep>{KeyDown(0x09, true), KeyUp(0x09, true)}));
}

}  // namespace
