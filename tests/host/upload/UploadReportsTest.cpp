#include <gtest/gtest.h>

#include "ExampleButtons.h"
#include "UploadReports.h"
#include "UploadTestSettings.h"

namespace {

TEST(UploadReports, ProfileHeaderNamesTheProfileAndEndsWithTheSignature) {
    for (int p = 0; p < kProfileCount; ++p) {
        const OutputReport header = ProfileHeaderReport(p);
        EXPECT_EQ(Bytes(header, 0, 4), (std::vector<std::uint8_t>{0, 7, 2, static_cast<std::uint8_t>(p + 1)}));
        EXPECT_TRUE(ZeroFrom(header, 4, 29));
        EXPECT_EQ(Bytes(header, 29, 4), (std::vector<std::uint8_t>{0x55, 0xAA, 0x33, 0xCC}));
    }
}

TEST(UploadReports, GlobalReportCarriesProfileAndPollingRateBit) {
    SettingsImage settings = DefaultSettings();
    settings.Profile = 2;
    settings.PollingRate = 2;
    const OutputReport report = GlobalSettingsReport(settings);
    EXPECT_EQ(Bytes(report, 0, 5), (std::vector<std::uint8_t>{0, 7, 1, 3, 4}));
    EXPECT_TRUE(ZeroFrom(report, 5));

    // A rate no shift can take sends no bit instead of undefined behaviour.
    for (int rate : {-1, 8, 40}) {
        settings.PollingRate = rate;
        EXPECT_EQ(GlobalSettingsReport(settings)[4], 0) << "rate " << rate;
    }
}

TEST(UploadReports, ParameterReportTakesOneSensitivityOrBothAxes) {
    ProfileSettings profile = DefaultSettings().Groups[0];
    profile.DPI = 4;
    profile.LedState = 3;
    profile.FlashState = 2;
    profile.XYSensitivityEnabled = 0;
    profile.OFASensitivity = 7;
    profile.MouseSpeedX = 1;
    profile.MouseSpeedY = 9;
    OutputReport report = ProfileParameterReport(profile, 0x84);
    EXPECT_EQ(Bytes(report, 0, 6), (std::vector<std::uint8_t>{0, 4, 0x84, 0x48, 7, 7}));
    EXPECT_TRUE(ZeroFrom(report, 6));

    profile.XYSensitivityEnabled = 1;
    profile.LedState = 0;
    profile.FlashState = 0;
    report = ProfileParameterReport(profile, 0);
    EXPECT_EQ(Bytes(report, 3, 3), (std::vector<std::uint8_t>{0x11, 1, 9}));
}

TEST(UploadReports, EachSlotTravelsInThreeConsecutivePages) {
    ProfileSettings profile = DefaultSettings().Groups[0];
    profile.Buttons[2].ButtonFunc = kRunProgramFunc;  // slot 4: 04 00 00 F8
    // Slot 5: a sequence that fills bytes 2..81.
    profile.Buttons[3] = KeySequenceButton(0x0A0B);
    profile.Buttons[3].KeyNumber = kKeyDataEntries;
    profile.Buttons[3].KeyData.fill(0x5C);
    const SlotTable table = BuildSlotTable(profile);

    const OutputReport page12 = ButtonPageReport(table, 12);
    EXPECT_EQ(Bytes(page12, 0, 5), (std::vector<std::uint8_t>{0, 0x04, 0, 0, 0xF8}));
    EXPECT_TRUE(ZeroFrom(ButtonPageReport(table, 13), 0));

    EXPECT_EQ(ButtonPageReport(table, 15)[1], 0x0A);
    EXPECT_EQ(ButtonPageReport(table, 15)[2], 0x0B);
    // Byte 81 of the slot is byte 17 of its third page; byte 82 is the first one left zero.
    EXPECT_EQ(ButtonPageReport(table, 17)[1 + 81 - 64], 0x5C);
    EXPECT_EQ(ButtonPageReport(table, 17)[1 + 82 - 64], 0x00);
    EXPECT_EQ(ButtonPageReport(table, 23)[32], 0);
}

}  // namespace
