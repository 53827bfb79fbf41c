#include "SkinTestBitmaps.h"

#include <objbase.h>

#include <cstdint>

#include "GdiScopes.h"

UniqueBitmap MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& colorAt) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colorAt(x, y);
            pixels[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    return bitmap;
}

UniqueBitmap SolidBitmap(int width, int height, COLORREF color) {
    return MakeBitmap(width, height, [color](int, int) { return color; });
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    UniqueDc dc(CreateCompatibleDC(nullptr));
    const SelectionScope select(dc.get(), bitmap);
    return GetPixel(dc.get(), x, y);
}

std::vector<COLORREF> WindowRow(HWND window, int y, int width) {
    const WindowDc dc(window);
    std::vector<COLORREF> row;
    for (int x = 0; x < width; ++x) row.push_back(GetPixel(dc.Dc(), x, y));
    return row;
}

bool SameArea(HRGN a, HRGN b) {
    UniqueRegion difference(CreateRectRgn(0, 0, 0, 0));
    return CombineRgn(difference.get(), a, b, RGN_XOR) == NULLREGION;
}
