#pragma once
// The 33-byte output reports of an upload. Byte 0 is the report id position and always
// 0; each value is the low 8 bits of the settings field it comes from.
#include <array>
#include <cstddef>
#include <cstdint>

#include "SettingsImage.h"
#include "SlotTable.h"

inline constexpr std::size_t kOutputReportBytes = 33;
inline constexpr int kButtonPageCount = 24;
inline constexpr std::size_t kButtonPageBytes = 32;
static_assert(kButtonPageCount * kButtonPageBytes == kSlotTableBytes);

using OutputReport = std::array<std::uint8_t, kOutputReportBytes>;

// The active profile and the polling rate.
OutputReport GlobalSettingsReport(const SettingsImage& settings);
// Starts the upload of profile index 0..2.
OutputReport ProfileHeaderReport(int profileIndex);
// CPI level, sequence slots, lights and sensitivity of a profile.
OutputReport ProfileParameterReport(const ProfileSettings& profile, std::uint8_t keystrokeSlotMask);
// Page 0..23: bytes page * 32 to page * 32 + 31 of the slot table.
OutputReport ButtonPageReport(const SlotTable& table, int page);
