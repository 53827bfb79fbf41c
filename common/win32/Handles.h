#pragma once
// One owning type for each kind of Win32 handle the programs keep.
#include <windows.h>

#include <type_traits>

// Null is no handle; for kernel handles INVALID_HANDLE_VALUE is none either.
template <class Handle>
bool IsValidHandle(Handle handle) {
    if constexpr (std::is_same_v<Handle, HANDLE>) return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    return handle != nullptr;
}

template <class Handle, auto Close>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return IsValidHandle(handle_); }
    Handle release() {
        Handle handle = handle_;
        handle_ = Handle{};
        return handle;
    }
    void reset(Handle handle = Handle{}) {
        if (IsValidHandle(handle_)) Close(handle_);
        handle_ = handle;
    }
    // For out-parameters: closes what is held and hands out the slot.
    Handle* put() {
        reset();
        return &handle_;
    }

private:
    Handle handle_{};
};

using UniqueKernelHandle = UniqueHandle<HANDLE, &::CloseHandle>;
using UniqueHKey = UniqueHandle<HKEY, &::RegCloseKey>;
using UniqueModule = UniqueHandle<HMODULE, &::FreeLibrary>;
using UniqueIcon = UniqueHandle<HICON, &::DestroyIcon>;
using UniqueMenu = UniqueHandle<HMENU, &::DestroyMenu>;
using UniqueDc = UniqueHandle<HDC, &::DeleteDC>;
using UniqueHook = UniqueHandle<HHOOK, &::UnhookWindowsHookEx>;

inline void DeleteGdiObject(HGDIOBJ object) { ::DeleteObject(object); }
using UniqueBitmap = UniqueHandle<HBITMAP, &DeleteGdiObject>;
using UniqueRegion = UniqueHandle<HRGN, &DeleteGdiObject>;
using UniqueBrush = UniqueHandle<HBRUSH, &DeleteGdiObject>;
using UniqueFont = UniqueHandle<HFONT, &DeleteGdiObject>;
