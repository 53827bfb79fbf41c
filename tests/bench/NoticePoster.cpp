// What a notice to the display program costs at the least: find its window and post to
// it, as often and as far apart as the benchmark's mouse reports. Prints the performance
// counter taken just before each lookup, one a line, for the receiver to pair with.
//
//   notice_poster COUNT INTERVAL_MS
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "OsdContract.h"
#include "ProgramNames.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: notice_poster COUNT INTERVAL_MS\n");
        return 2;
    }
    const long count = std::wcstol(argv[1], nullptr, 10);
    const auto intervalMs = static_cast<DWORD>(std::wcstol(argv[2], nullptr, 10));
    std::vector<long long> stamps;
    stamps.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
    for (long i = 0; i < count; ++i) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const HWND display = FindWindowW(nullptr, names::kOsdWindowTitle);
        if (!display || !PostMessageW(display, osd::kMsgNotice, osd::kVolumeUp, 0)) {
            std::fprintf(stderr, "post %ld failed\n", i);
            return 1;
        }
        stamps.push_back(now.QuadPart);
        Sleep(intervalMs);
    }
    // Printed only now, so the console does not slow the posts down.
    for (long long stamp : stamps) std::printf("%lld\n", stamp);
    return 0;
}
