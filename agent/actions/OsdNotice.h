#pragma once
// Notices on the on-screen display: find the display's window, start the display
// program when the window is missing, and post the notice.

// What showing a notice needs of the system.
class OsdPort {
public:
    virtual ~OsdPort() = default;
    // Looks for the display's window; true when it is there.
    virtual bool FindDisplay() = 0;
    // Starts the display program (OSD.exe beside the agent).
    virtual void StartDisplay() = 0;
    virtual void Pause(int ms) = 0;
    // Posts to the window that FindDisplay found.
    virtual void Post(unsigned message, int code, int value) = 0;
};

inline constexpr int kDisplayStartAttempts = 5;
inline constexpr int kDisplayStartPauseMs = 500;

// Posts the notice (the value form when valueFlag is non-zero) unless trayEnabled is 0;
// starts the display up to five times, 500 ms apart, and drops the notice if it never
// comes up.
void ShowOsd(OsdPort& port, int trayEnabled, int code, int value, int valueFlag);
