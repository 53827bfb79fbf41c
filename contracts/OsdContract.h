#pragma once
// Messages to the on-screen display program (window "Ovix Pelora Tern-7 OSD", program
// OSD.exe beside the agent) and the notice codes they carry.

namespace osd {

// wParam the notice code, lParam 0.
inline constexpr unsigned kMsgNotice = 13369;
// wParam the notice code, lParam its value.
inline constexpr unsigned kMsgValueNotice = 13370;

enum NoticeCode : int {
    kPlayPause = 1,
    kNextTrack = 2,
    kPreviousTrack = 3,
    kVolumeUp = 4,
    kVolumeDown = 5,
    kSoundOn = 6,
    kMuted = 7,
    kProfile1 = 10,  // profile n is kProfile1 + n - 1
    kCpi = 30,       // value: the resolution in CPI
};

}  // namespace osd
