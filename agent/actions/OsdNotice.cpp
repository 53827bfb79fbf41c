#include "OsdNotice.h"

#include "OsdContract.h"

void OsdNotices::Show(OsdPort& port, int trayEnabled, int code, int value, NoticeForm form) {
    if (trayEnabled == 0) return;
    const Notice notice{form == NoticeForm::Value ? osd::kMsgValueNotice : osd::kMsgNotice, code, value};
    if (port.FindDisplay()) {
        Deliver(port, notice);
        return;
    }
    waiting_ = notice;
    if (starts_ == 0) {
        Start(port);
    } else {
        // The start under way serves the newer notice as its first try.
        starts_ = 1;
    }
}

void OsdNotices::Retry(OsdPort& port) {
    if (!waiting_) return;
    if (port.FindDisplay()) {
        Deliver(port, *waiting_);
    } else if (starts_ < kDisplayStartAttempts) {
        Start(port);
    } else {
        waiting_.reset();  // the display never came up: the notice is lost
        starts_ = 0;
    }
}

void OsdNotices::Start(OsdPort& port) {
    ++starts_;
    port.StartDisplay();
    port.ScheduleRetry(kDisplayStartPauseMs);
}

void OsdNotices::Deliver(OsdPort& port, const Notice& notice) {
    // A notice still waiting is older than this one: dropped.
    waiting_.reset();
    starts_ = 0;
    port.Post(notice.Message, notice.Code, notice.Value);
}
