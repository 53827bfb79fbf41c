// What a notice to the display program costs at the least: the mouse's key reports read
// from its collection with bare overlapped reads, and for each one the display's window
// found and posted to, as the agent does. Runs until it is ended or the mouse goes.
//
//   notice_reader
#include <windows.h>

#include <cstdio>

#include "OsdContract.h"
#include "ProgramNames.h"
#include "RawCollection.h"
#include "Tern7Layout.h"

int wmain() {
    RawCollection keys(virtualmouse::kKeyChild);
    if (!keys.Opened()) {
        std::fprintf(stderr, "the keys' collection is not there\n");
        return 1;
    }
    for (;;) {
        if (!keys.StartRead()) return 1;
        const auto read = keys.FinishRead(INFINITE);
        if (!read || !read->ok) return 1;
        const HWND display = FindWindowW(nullptr, names::kOsdWindowTitle);
        if (display) PostMessageW(display, osd::kMsgNotice, osd::kVolumeUp, 0);
    }
}
