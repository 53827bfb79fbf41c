#include "Zoom.h"

#include <windows.h>

#include "InputPlayer.h"

namespace {

std::wstring ClassOf(HWND window) {
    if (!window) return {};
    wchar_t name[260] = {};
    if (!GetClassNameW(window, name, 260)) return {};
    return name;
}

}  // namespace

void ZoomAtCursor(ZoomDirection direction) {
    POINT cursor{};
    GetCursorPos(&cursor);
    const HWND window = WindowFromPoint(cursor);
    const HWND parent = window ? GetParent(window) : nullptr;
    const HWND grandparent = parent ? GetParent(parent) : nullptr;
    const WindowLineage lineage{ClassOf(window), ClassOf(parent), ClassOf(grandparent)};
    if (lineage.Self == L"Internet Explorer_Server") OutputDebugStringW(lineage.Grandparent.c_str());
    PlayInput(ZoomInput(MarkZoomTarget(lineage), direction));
}
