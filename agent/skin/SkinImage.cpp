#include "SkinImage.h"

#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#include "ComPtr.h"
#include "GdiScopes.h"

namespace {

// Larger files are no skin image; the picture loader takes a 32-bit length.
constexpr LONGLONG kMaxImageFileBytes = 64 * 1024 * 1024;

// The file's bytes in a movable memory block, as the stream on it needs them.
HGLOBAL ReadFileIntoGlobal(const std::wstring& path, DWORD& size) {
    UniqueKernelHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER length{};
    if (!file || !GetFileSizeEx(file.get(), &length) || length.QuadPart <= 0 || length.QuadPart > kMaxImageFileBytes)
        return nullptr;
    size = static_cast<DWORD>(length.QuadPart);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    void* bytes = GlobalLock(memory);
    DWORD read = 0;
    const bool complete = bytes && ReadFile(file.get(), bytes, size, &read, nullptr) && read == size;
    if (bytes) GlobalUnlock(memory);
    if (!complete) {
        GlobalFree(memory);
        return nullptr;
    }
    return memory;
}

ComPtr<IPicture> DecodePicture(HGLOBAL memory, DWORD size) {
    ComPtr<IStream> stream;
    // The stream frees the block when it is released.
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.put()))) {
        GlobalFree(memory);
        return {};
    }
    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture, picture.put_void())))
        return {};
    return picture;
}

}  // namespace

SIZE LoadSkinImage(const std::wstring& path, UniqueBitmap& bitmap) {
    bitmap.reset();
    DWORD size = 0;
    HGLOBAL memory = ReadFileIntoGlobal(path, size);
    if (!memory) return {0, 0};
    const ComPtr<IPicture> picture = DecodePicture(memory, size);
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (!picture || FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle)))
        return {0, 0};
    // The picture deletes its bitmap when released; keep a copy of our own instead.
    bitmap.reset(static_cast<HBITMAP>(
        CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP description{};
    if (!bitmap || !GetObjectW(bitmap.get(), sizeof(description), &description)) {
        bitmap.reset();
        return {0, 0};
    }
    return {description.bmWidth, description.bmHeight};
}

void CopyBitmapRect(HDC dc, UniqueBitmap& destination, HBITMAP source, const RECT& rect) {
    if (!source) return;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    destination.reset();
    if (width <= 0 || height <= 0) return;
    destination.reset(CreateCompatibleBitmap(dc, width, height));
    UniqueDc destinationDc(CreateCompatibleDC(dc));
    UniqueDc sourceDc(CreateCompatibleDC(dc));
    if (!destination || !destinationDc || !sourceDc) return;
    SelectionScope selectDestination(destinationDc.get(), destination.get());
    SelectionScope selectSource(sourceDc.get(), source);
    StretchBlt(destinationDc.get(), 0, 0, width, height, sourceDc.get(), rect.left, rect.top, width, height, SRCCOPY);
}
