#include "KeyRecorder.h"

#include <string>

#include "GdiScopes.h"

namespace {

constexpr wchar_t kClassName[] = L"SetwellKeyRecorder";

struct RecorderState {
    HFONT Font = nullptr;
    bool Recording = false;
};

RecorderState* StateOf(HWND window) { return reinterpret_cast<RecorderState*>(GetWindowLongPtrW(window, 0)); }

void Paint(HWND window, RecorderState& state) {
    const PaintScope paint(window);
    const HDC dc = paint.Dc();
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(IsWindowEnabled(window) ? COLOR_WINDOW : COLOR_BTNFACE));
    const SelectionScope selectFont(dc, state.Font ? state.Font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    if (state.Recording) text = L"Recording: " + (text.empty() ? std::wstring(L"press keys") : text);
    RECT inner = client;
    InflateRect(&inner, -3, -2);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &inner, DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (GetFocus() == window) DrawFocusRect(dc, &client);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    RecorderState* state = StateOf(window);
    switch (message) {
        case WM_NCCREATE: SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(new RecorderState)); break;
        case WM_NCDESTROY:
            delete state;
            SetWindowLongPtrW(window, 0, 0);
            break;
        case WM_SETFONT:
            if (state) state->Font = reinterpret_cast<HFONT>(wParam);
            return 0;
        case WM_GETFONT: return state ? reinterpret_cast<LRESULT>(state->Font) : 0;
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
            InvalidateRect(window, nullptr, TRUE);
            return result;
        }
        case WM_PAINT:
            if (state) {
                Paint(window, *state);
                return 0;
            }
            break;
        case WM_ENABLE:
        case WM_SETFOCUS: InvalidateRect(window, nullptr, TRUE); return 0;
        case WM_KILLFOCUS:
            InvalidateRect(window, nullptr, TRUE);
            if (state && state->Recording)
                SendMessageW(GetParent(window), kKeyRecorderFocusLost, wParam, reinterpret_cast<LPARAM>(window));
            return 0;
        case WM_LBUTTONDOWN: SetFocus(window); return 0;
        case WM_GETDLGCODE:
            // Only while recording do Tab, Enter and Escape belong to the sequence.
            return state && state->Recording ? DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_WANTTAB | DLGC_WANTARROWS : 0;
        case kKeyRecorderSetRecording:
            if (state) {
                state->Recording = wParam != 0;
                InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            if (state && state->Recording) {
                SendMessageW(GetParent(window), kKeyRecorderKey, wParam, lParam);
                return 0;
            }
            break;
        case WM_CHAR:
        case WM_SYSCHAR:
            // Alt+letter must not reach the dialog's mnemonics while recording.
            if (state && state->Recording) return 0;
            break;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterKeyRecorderClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &Procedure;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
