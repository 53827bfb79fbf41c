#pragma once
// CWnd: a C++ object bound to one window. Messages go to OnMessage, which derived classes
// route through their message map; what they do not handle gets default processing.
//
// How to end a window: the window ends before its object, while the object is whole.
// - An object on the heap: delete it (or reset its unique_ptr). Deleting ends the window
//   first, so WM_DESTROY and WM_NCDESTROY reach the object's own handlers.
// - An object on the stack or a member: end the window first (DestroyWindow, the window
//   closing, its parent ending), or call DestroyWindow() in the most-derived destructor.
// A window still alive when ~CWnd runs is unbound from the object before it is destroyed:
// its last messages get default processing and never reach a half-destroyed object.
#include <windows.h>

#include <new>

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();
    // Ends the window before the object's destructors run; see above.
    void operator delete(CWnd* window, std::destroying_delete_t);

    HWND GetSafeHwnd() const { return hwnd_; }

    // Creates the window with a class of default attributes (no class style, cursor,
    // background or icon). WM_CREATE already reaches OnMessage inside this call.
    bool CreateEx(DWORD exStyle, const wchar_t* title, DWORD style, int x, int y, int width, int height,
                  HWND parent = nullptr, HMENU menu = nullptr);
    void DestroyWindow();

    // The message loop ends when this window is destroyed.
    void QuitWhenDestroyed() { quitWhenDestroyed_ = true; }

protected:
    // Handles a message and sets result; false leaves it to default processing.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

    // Binds this object to a window created elsewhere (dialogs).
    void Attach(HWND hwnd);
    // The window is gone: unbinds and ends the message loop if asked to.
    void OnWindowGone();

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    bool quitWhenDestroyed_ = false;
};
