#include <gtest/gtest.h>

#include "InputReport.h"
#include "SettingsImage.h"

namespace {

DeviceAction Decode(std::uint8_t code, std::uint8_t high = 0, std::uint32_t length = 3, std::uint8_t id = 3) {
    const std::uint8_t report[9] = {id, code, high};
    return DecodeInputReport(report, length);
}

using Kind = DeviceActionKind;

TEST(InputReport, ProfileAndCpiKeys) {
    EXPECT_EQ(Decode(0x20), (DeviceAction{Kind::SelectProfile, 2}));
    EXPECT_EQ(Decode(0x30), (DeviceAction{Kind::SelectProfile, 3}));
    EXPECT_EQ(Decode(0x1F), (DeviceAction{Kind::SelectProfile, 1}));
    EXPECT_EQ(Decode(0x10), (DeviceAction{Kind::SelectProfile, 1}));
    for (std::uint8_t level = 1; level <= 4; ++level)
        EXPECT_EQ(Decode(level), (DeviceAction{Kind::SetCpiLevel, level}));
    EXPECT_EQ(CpiOfLevel(3), 1500);
}

TEST(InputReport, ProgramButtonsAndZoom) {
    EXPECT_EQ(Decode(0xF6), (DeviceAction{Kind::RunProgram, 0}));
    EXPECT_EQ(Decode(0xF8), (DeviceAction{Kind::RunProgram, 2}));
    EXPECT_EQ(Decode(0xFD), (DeviceAction{Kind::RunProgram, 7}));
    EXPECT_EQ(Decode(0xFE), (DeviceAction{Kind::RunProgram, 8}));
    EXPECT_EQ(Decode(0xAC), (DeviceAction{Kind::ZoomIn, 0}));
    EXPECT_EQ(Decode(0xAD, 5), (DeviceAction{Kind::ZoomOut, 0})) << "only media codes test the high byte";
}

TEST(InputReport, MediaKeysNeedAZeroHighByte) {
    const std::pair<std::uint8_t, int> media[] = {{0xCD, 1}, {0xB5, 2}, {0xB6, 3}, {0xE9, 4}, {0xEA, 5}};
    for (const auto& [code, notice] : media) {
        EXPECT_EQ(Decode(code), (DeviceAction{Kind::MediaNotice, notice}));
        EXPECT_EQ(Decode(code, 1).Kind, Kind::None);
    }
    EXPECT_EQ(Decode(0xE2).Kind, Kind::MuteNotice);
    EXPECT_EQ(Decode(0xE2, 2).Kind, Kind::None);
}

TEST(InputReport, OtherReportsAndCodesDoNothing) {
    EXPECT_EQ(Decode(0x20, 0, 4).Kind, Kind::None) << "length 4";
    EXPECT_EQ(Decode(0x20, 0, 2).Kind, Kind::None);
    EXPECT_EQ(Decode(0x20, 0, 3, 1).Kind, Kind::None) << "report 1";
    EXPECT_EQ(DecodeInputReport(nullptr, 3).Kind, Kind::None);
    // The neighbours of every code the mouse uses, and codes far from them.
    for (std::uint8_t code :
         {0x00, 0x05, 0x0F, 0x31, 0x40, 0x80, 0xAB, 0xAE, 0xB4, 0xB7, 0xCC, 0xCE, 0xE1, 0xE3, 0xE8, 0xEB, 0xF5, 0xFF}) {
        EXPECT_EQ(Decode(code).Kind, Kind::None) << "code " << int(code);
    }
}

TEST(InputReport, LengthsBeyondTheLongestReportAreRefusedBeforeAnyCopy) {
    EXPECT_TRUE(AcceptableInputLength(0));
    EXPECT_TRUE(AcceptableInputLength(3));
    EXPECT_TRUE(AcceptableInputLength(kMaxInputReportLength));
    EXPECT_FALSE(AcceptableInputLength(kMaxInputReportLength + 1));
    EXPECT_FALSE(AcceptableInputLength(0xFFFFFFFFu));
}

}  // namespace
