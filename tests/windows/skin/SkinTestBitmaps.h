#pragma once
// Bitmaps made and read pixel by pixel for the skin tests.
#include <windows.h>

#include <functional>
#include <vector>

#include "Handles.h"

// A 32-bit top-down DIB section whose pixel (x, y) is colorAt(x, y).
UniqueBitmap MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& colorAt);
UniqueBitmap SolidBitmap(int width, int height, COLORREF color);

// Pixel (x, y) of a bitmap that no device context holds.
COLORREF BitmapPixel(HBITMAP bitmap, int x, int y);

// Row y of what a window shows, x from 0 to width - 1, read from its device context.
std::vector<COLORREF> WindowRow(HWND window, int y, int width);

// True when both regions cover the same pixels (EqualRgn is not reliable under Wine).
bool SameArea(HRGN a, HRGN b);
