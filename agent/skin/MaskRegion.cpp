#include "MaskRegion.h"

#include <cstring>
#include <vector>

#include "GdiScopes.h"
#include "MaskRuns.h"

namespace {

UniqueRegion RegionFromBatch(const RegionBatch& batch) {
    const auto rects = batch.Rects();
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    RGNDATAHEADER header{};
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = static_cast<DWORD>(rects.size());
    const PixelRect& bounds = batch.Bounds();
    header.rcBound = {bounds.Left, bounds.Top, bounds.Right, bounds.Bottom};
    std::memcpy(data.data(), &header, sizeof(header));
    BYTE* next = data.data() + sizeof(header);
    for (const PixelRect& r : rects) {
        const RECT rect{r.Left, r.Top, r.Right, r.Bottom};
        std::memcpy(next, &rect, sizeof(rect));
        next += sizeof(rect);
    }
    return UniqueRegion(
        ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data())));
}

// Joins the batch into result (or makes it the result) and empties it.
void AddBatch(RegionBatch& batch, UniqueRegion& result) {
    UniqueRegion part = RegionFromBatch(batch);
    batch.Clear();
    if (!part) return;
    if (!result) {
        result = std::move(part);
    } else {
        CombineRgn(result.get(), result.get(), part.get(), RGN_OR);
    }
}

}  // namespace

UniqueRegion RegionFromMask(HBITMAP mask, COLORREF key, COLORREF tolerance) {
    if (!mask) return {};
    UniqueDc pixelsDc(CreateCompatibleDC(nullptr));
    BITMAP description{};
    if (!pixelsDc || !GetObjectW(mask, sizeof(description), &description)) return {};
    const int width = description.bmWidth;
    const int height = description.bmHeight;

    // A 32-bit DIB turns any mask format into pixels that can be read in place.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap pixels(CreateDIBSection(pixelsDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!pixels || !bits) return {};
    SelectionScope selectPixels(pixelsDc.get(), pixels.get());
    {
        UniqueDc maskDc(CreateCompatibleDC(pixelsDc.get()));
        if (!maskDc) return {};
        SelectionScope selectMask(maskDc.get(), mask);
        if (!selectMask.Selected()) return {};
        BitBlt(pixelsDc.get(), 0, 0, width, height, maskDc.get(), 0, 0, SRCCOPY);
    }
    GdiFlush();

    const ColorKeyRange keyRange(key, tolerance);
    const auto* rows = static_cast<const std::uint32_t*>(bits);
    RegionBatch batch;
    UniqueRegion result;
    for (int y = 0; y < height; ++y) {
        // Row y from the top is row height - 1 - y of a bottom-up DIB.
        const std::span<const std::uint32_t> row(rows + static_cast<std::size_t>(height - 1 - y) * width, width);
        ForEachRun(row, y, keyRange, [&](const PixelRect& rect) {
            if (batch.Add(rect)) AddBatch(batch, result);
        });
    }
    // Also when nothing is left: an all-key mask gives an empty region, not none.
    AddBatch(batch, result);
    return result;
}
