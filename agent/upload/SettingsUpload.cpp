#include "SettingsUpload.h"

#include <vector>

#include "SettingsToolContract.h"
#include "SlotTable.h"

namespace {

constexpr int kTries = 3;
constexpr int kProfileRetryDelays = 50;
constexpr int kGlobalRetryDelays = 10;

// Every report of one profile attempt, in the order the mouse expects them.
std::vector<OutputReport> ProfileReports(const ProfileSettings& profile, int profileIndex) {
    const SlotTable table = BuildSlotTable(profile);
    std::vector<OutputReport> reports;
    reports.reserve(kProfileReportCount);
    reports.push_back(ProfileHeaderReport(profileIndex));
    reports.push_back(ProfileParameterReport(profile, table.KeystrokeSlotMask));
    for (int page = 0; page < kButtonPageCount; ++page) reports.push_back(ButtonPageReport(table, page));
    return reports;
}

bool WriteAll(DeviceReportWriter& writer, std::uint32_t deviceId, const std::vector<OutputReport>& reports,
              int writeDelay) {
    for (const OutputReport& report : reports) {
        const bool written = writer.WriteReport(deviceId, report);
        writer.Pause(writeDelay);
        if (!written) return false;
    }
    return true;
}

}  // namespace

settings_tool::ApplyResult WriteProfileReports(DeviceReportWriter& writer, std::uint32_t deviceId,
                                               const SettingsImage& settings, int profileIndex, int writeDelay) {
    if (profileIndex < 0 || profileIndex >= kProfileCount) profileIndex = 0;
    const std::vector<OutputReport> reports = ProfileReports(settings.Groups[profileIndex], profileIndex);
    for (int attempt = 0; attempt < kTries; ++attempt) {
        if (WriteAll(writer, deviceId, reports, writeDelay)) return settings_tool::kApplySent;
        writer.Pause(kProfileRetryDelays * writeDelay);
    }
    return settings_tool::kApplyWriteFailed;
}

settings_tool::ApplyResult WriteGlobalSettingsReport(DeviceReportWriter& writer, std::uint32_t deviceId,
                                                     const SettingsImage& settings, int writeDelay) {
    const OutputReport report = GlobalSettingsReport(settings);
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const bool written = writer.WriteReport(deviceId, report);
        writer.Pause(writeDelay);
        if (written) return settings_tool::kApplySent;
        writer.Pause(kGlobalRetryDelays * writeDelay);
    }
    return settings_tool::kApplyWriteFailed;
}
