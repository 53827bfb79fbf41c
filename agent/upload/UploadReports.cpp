#include "UploadReports.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kSettingsCommand = 7;
constexpr std::uint8_t kGlobalSettings = 1;
constexpr std::uint8_t kProfileHeader = 2;
constexpr std::uint8_t kHeaderSignature[] = {0x55, 0xAA, 0x33, 0xCC};
constexpr std::size_t kSignatureAt = 29;

std::uint8_t LowByte(std::int64_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

// 1 shifted left by a settings value; values the shift cannot take give 0 rather than
// undefined behaviour (validated settings are always small).
std::uint32_t BitAt(std::int32_t position) { return position >= 0 && position < 32 ? 1u << position : 0u; }

}  // namespace

OutputReport GlobalSettingsReport(const SettingsImage& settings) {
    OutputReport report{};
    report[1] = kSettingsCommand;
    report[2] = kGlobalSettings;
    report[3] = LowByte(std::int64_t{settings.Profile} + 1);
    report[4] = LowByte(BitAt(settings.PollingRate));
    return report;
}

OutputReport ProfileHeaderReport(int profileIndex) {
    OutputReport report{};
    report[1] = kSettingsCommand;
    report[2] = kProfileHeader;
    report[3] = LowByte(std::int64_t{profileIndex} + 1);
    std::copy(std::begin(kHeaderSignature), std::end(kHeaderSignature), report.begin() + kSignatureAt);
    return report;
}

OutputReport ProfileParameterReport(const ProfileSettings& profile, std::uint8_t keystrokeSlotMask) {
    OutputReport report{};
    report[1] = LowByte(profile.DPI);
    report[2] = keystrokeSlotMask;
    // High nibble: one bit for the flash mode; low nibble: one bit for the LED mode.
    report[3] = LowByte((BitAt(profile.FlashState) << 4) + (BitAt(profile.LedState) & 0x0F));
    const bool separateAxes = profile.XYSensitivityEnabled != 0;
    report[4] = LowByte(separateAxes ? profile.MouseSpeedX : profile.OFASensitivity);
    report[5] = LowByte(separateAxes ? profile.MouseSpeedY : profile.OFASensitivity);
    return report;
}

OutputReport ButtonPageReport(const SlotTable& table, int page) {
    OutputReport report{};
    const auto first = table.Bytes.begin() + page * kButtonPageBytes;
    std::copy(first, first + kButtonPageBytes, report.begin() + 1);
    return report;
}
