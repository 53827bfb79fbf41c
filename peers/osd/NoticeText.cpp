#include "NoticeText.h"

#include "OsdContract.h"
#include "SettingsImage.h"

std::wstring NoticeText(unsigned message, int code, int value) {
    if (message == osd::kMsgValueNotice) {
        if (code == osd::kCpi && value > 0) return std::to_wstring(value) + L" CPI";
        return {};
    }
    if (message != osd::kMsgNotice) return {};
    switch (code) {
        case osd::kPlayPause: return L"Play / Pause";
        case osd::kNextTrack: return L"Next track";
        case osd::kPreviousTrack: return L"Previous track";
        case osd::kVolumeUp: return L"Volume up";
        case osd::kVolumeDown: return L"Volume down";
        case osd::kSoundOn: return L"Sound on";
        case osd::kMuted: return L"Muted";
        default: break;
    }
    if (code >= osd::kProfile1 && code < osd::kProfile1 + kProfileCount)
        return L"Profile " + std::to_wstring(code - osd::kProfile1 + 1);
    return {};
}
