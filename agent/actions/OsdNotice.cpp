#include "OsdNotice.h"

#include "OsdContract.h"

void ShowOsd(OsdPort& port, int trayEnabled, int code, int value, int valueFlag) {
    if (trayEnabled == 0) return;
    bool found = port.FindDisplay();
    for (int attempt = 0; !found && attempt < kDisplayStartAttempts; ++attempt) {
        port.StartDisplay();
        port.Pause(kDisplayStartPauseMs);
        found = port.FindDisplay();
    }
    if (!found) return;
    port.Post(valueFlag ? osd::kMsgValueNotice : osd::kMsgNotice, code, value);
}
