#include "InputReport.h"

#include "OsdContract.h"

namespace {

// The Consumer page usages that the operating system acts on itself; the agent only
// announces them, and only when the usage's high byte is 0.
int MediaNoticeOf(std::uint8_t code) {
    switch (code) {
        case 0xCD: return osd::kPlayPause;
        case 0xB5: return osd::kNextTrack;
        case 0xB6: return osd::kPreviousTrack;
        case 0xE9: return osd::kVolumeUp;
        case 0xEA: return osd::kVolumeDown;
        default: return 0;
    }
}

}  // namespace

DeviceAction DecodeInputReport(const std::uint8_t* report, std::uint32_t length) {
    if (!report || length != 3 || report[0] != 3) return {};
    const std::uint8_t code = report[1];
    const bool consumerPageLow = report[2] == 0;
    if (code >= 0x10 && code <= 0x30) return {DeviceActionKind::SelectProfile, code >> 4};
    if (code >= 1 && code <= 4) return {DeviceActionKind::SetCpiLevel, code};
    if (code >= 0xF6 && code <= 0xFE) return {DeviceActionKind::RunProgram, code - 0xF6};
    if (code == 0xAC) return {DeviceActionKind::ZoomIn, 0};
    if (code == 0xAD) return {DeviceActionKind::ZoomOut, 0};
    if (!consumerPageLow) return {};
    if (const int notice = MediaNoticeOf(code)) return {DeviceActionKind::MediaNotice, notice};
    if (code == 0xE2) return {DeviceActionKind::MuteNotice, 0};
    return {};
}
