#pragma once
// The two uploads of the apply command, with their retry and pause rules. They write
// through a DeviceReportWriter, which the agent backs with the HID library.
#include <cstdint>

#include "SettingsImage.h"
#include "SettingsToolContract.h"
#include "UploadReports.h"

// The agent's pacing of the apply command: a pause after every report written, and one
// after the uploads, before the result is posted, so that the last report settles and the
// full bar is seen.
inline constexpr int kWriteDelayMs = 10;
inline constexpr int kApplyFinalPauseMs = 50;
// One profile attempt: its header, its parameters and its button pages.
inline constexpr int kProfileReportCount = 2 + kButtonPageCount;

// The effects of an upload: reports written to the mouse, and pauses between them.
class DeviceReportWriter {
public:
    virtual ~DeviceReportWriter() = default;
    // True when the device took the report.
    virtual bool WriteReport(std::uint32_t deviceId, const OutputReport& report) = 0;
    virtual void Pause(int milliseconds) = 0;
};

// Writes profile profileIndex of settings to deviceId: header, parameters and the 24
// button pages, each followed by writeDelay ms. A failed write ends the attempt; after
// 50 x writeDelay ms the next attempt starts again from the header, three attempts in
// all. Returns kApplySent or kApplyWriteFailed. An index outside 0..2 uploads profile 0,
// as CurrentProfile reads it.
settings_tool::ApplyResult WriteProfileReports(DeviceReportWriter& writer, std::uint32_t deviceId,
                                               const SettingsImage& settings, int profileIndex, int writeDelay);

// Writes the global settings report to deviceId, up to three tries, each followed by
// writeDelay ms and, when it failed, 10 x writeDelay ms more. Returns kApplySent or
// kApplyWriteFailed.
settings_tool::ApplyResult WriteGlobalSettingsReport(DeviceReportWriter& writer, std::uint32_t deviceId,
                                                     const SettingsImage& settings, int writeDelay);
