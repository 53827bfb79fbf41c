#pragma once
// CWnd: a C++ object bound to one window. Messages go to OnMessage, which derived classes
// route through their message map; what they do not handle gets default processing.
#include <windows.h>

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

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
