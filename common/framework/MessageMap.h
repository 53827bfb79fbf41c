#pragma once
// A message map: a table from window message to the member function that handles it.
#include <windows.h>

#include <span>

template <class Window>
struct MessageMapEntry {
    UINT Message;
    LRESULT (Window::*Handler)(WPARAM, LPARAM);
};

// Calls the handler that the table lists for message; false when it lists none.
template <class Window>
bool RouteMessage(Window& window, std::span<const MessageMapEntry<Window>> map, UINT message, WPARAM wParam,
                  LPARAM lParam, LRESULT& result) {
    for (const auto& entry : map) {
        if (entry.Message == message) {
            result = (window.*entry.Handler)(wParam, lParam);
            return true;
        }
    }
    return false;
}
