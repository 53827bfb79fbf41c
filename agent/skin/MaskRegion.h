#pragma once
// A window shape from a mask bitmap.
#include <windows.h>

#include "Handles.h"

// The region of every pixel of mask whose colour is not within key..key + tolerance (per
// channel); an empty region when all are, null when mask is null or the pixels cannot
// be read.
UniqueRegion RegionFromMask(HBITMAP mask, COLORREF key, COLORREF tolerance);
