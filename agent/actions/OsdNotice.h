#pragma once
// Notices on the on-screen display: find the display's window, start the display
// program when the window is missing, and post the notice.
#include <optional>

// What showing a notice needs of the system.
class OsdPort {
public:
    virtual ~OsdPort() = default;
    // Looks for the display's window; true when it is there.
    virtual bool FindDisplay() = 0;
    // Starts the display program (OSD.exe beside the agent).
    virtual void StartDisplay() = 0;
    // Asks for OsdNotices::Retry after ms; the caller's thread goes on meanwhile.
    virtual void ScheduleRetry(int ms) = 0;
    // Posts to the window that FindDisplay found.
    virtual void Post(unsigned message, int code, int value) = 0;
};

// A notice shows its code alone, or its code with a value ("1500 CPI").
enum class NoticeForm { Plain, Value };

inline constexpr int kDisplayStartAttempts = 5;
inline constexpr int kDisplayStartPauseMs = 500;

// A notice finds the display, or starts it up to five times, 500 ms apart, and is dropped
// if it never comes up. The waits do not hold the caller: while the display is coming up
// no second start is made, and a newer notice replaces the waiting one, since only the
// latest still tells the user something; it gets its own five tries.
class OsdNotices {
public:
    // Posts the notice unless trayEnabled is 0.
    void Show(OsdPort& port, int trayEnabled, int code, int value, NoticeForm form);
    // The pause after a start is over.
    void Retry(OsdPort& port);
    bool Waiting() const { return waiting_.has_value(); }

private:
    struct Notice {
        unsigned Message;
        int Code;
        int Value;
    };
    void Start(OsdPort& port);
    void Deliver(OsdPort& port, const Notice& notice);

    std::optional<Notice> waiting_;
    int starts_ = 0;  // of the display since a notice last found it
};
