#pragma once
// Skin images: files decoded into bitmaps, and rectangles of bitmaps copied.
#include <windows.h>

#include <string>

#include "Handles.h"

// Decodes an image file (the skin uses JPEG and BMP) with the system picture loader into
// bitmap, replacing what it held, and gives the pixel size. A file that is missing or
// cannot be decoded leaves bitmap empty and gives 0 x 0. The calling thread must have
// initialised COM (the loader may create its decoders through it).
SIZE LoadSkinImage(const std::wstring& path, UniqueBitmap& bitmap);

// Replaces destination by a copy of the rect part of source, a bitmap compatible with dc.
// Does nothing when source is null; an empty rect leaves destination empty.
void CopyBitmapRect(HDC dc, UniqueBitmap& destination, HBITMAP source, const RECT& rect);
