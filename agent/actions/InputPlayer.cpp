#include "InputPlayer.h"

#include <windows.h>

void PlayInput(const std::vector<InputStep>& steps) {
    for (const InputStep& step : steps) {
        const DWORD extended = step.Extended ? KEYEVENTF_EXTENDEDKEY : 0;
        switch (step.What) {
            case InputStep::Kind::KeyDown: keybd_event(static_cast<BYTE>(step.Value), 0, extended, 0); break;
            case InputStep::Kind::KeyUp:
                keybd_event(static_cast<BYTE>(step.Value), 0, extended | KEYEVENTF_KEYUP, 0);
                break;
            case InputStep::Kind::Wheel:
                // No move flag: the notch applies where the pointer is.
                mouse_event(MOUSEEVENTF_WHEEL | MOUSEEVENTF_ABSOLUTE, 0, 0, static_cast<DWORD>(step.Value), 0);
                break;
            case InputStep::Kind::Pause: Sleep(static_cast<DWORD>(step.Value)); break;
        }
    }
}
