#include <gtest/gtest.h>

#include "UploadReports.h"
#include "UploadTestSettings.h"

namespace {

bool ZeroFrom(const OutputReport& report, std::size_t first, std::size_t end = kOutputReportBytes) {
    for (std::size_t i = first; i < end; ++i) {
        if (report[i] != 0) return false;
    }
    return true;
}

TEST(UploadReports, ProfileHeaderNamesTheProfileAndEndsWithTheSignature) {
    for (int p = 0; p < kProfileCount; ++p) {
        const OutputReport header = ProfileHeaderReport(p);
        EXPECT_EQ(header[0], 0);
        EXPECT_EQ(header[1], 7);
        EXPECT_EQ(header[2], 2);
        EXPECT_EQ(header[3], p + 1);
        EXPECT_TRUE(ZeroFrom(header, 4, 29));
        EXPECT_EQ(header[29], 0x55);
        EXPECT_EQ(header[30], 0xAA);
        EXPECT_EQ(header[31], 0x33);
        EXPECT_EQ(header[32], 0xCC);
    }
}

TEST(UploadReports, GlobalReportCarriesProfileAndPollingRateBit) {
    SettingsImage settings = DefaultSettings();
    settings.Profile = 2;
    settings.PollingRate = 2;
    const OutputReport report = GlobalSettingsReport(settings);
    EXPECT_EQ(report[0], 0);
    EXPECT_EQ(report[1], 7);
    EXPECT_EQ(report[2], 1);
    EXPECT_EQ(report[3], 3);
    EXPECT_EQ(report[4], 4);
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
    EXPECT_EQ(report[0], 0);
    EXPECT_EQ(report[1], 4);
    EXPECT_EQ(report[2], 0x84);
    EXPECT_EQ(report[3], 0x48);
    EXPECT_EQ(report[4], 7);
    EXPECT_EQ(report[5], 7);
    EXPECT_TRUE(ZeroFrom(report, 6));

    profile.XYSensitivityEnabled = 1;
    profile.LedState = 0;
    profile.FlashState = 0;
    report = ProfileParameterReport(profile, 0);
    EXPECT_EQ(report[3], 0x11);
    EXPECT_EQ(report[4], 1);
    EXPECT_EQ(report[5], 9);
}

TEST(UploadReports, EachSlotTravelsInThreeConsecutivePages) {
    ProfileSettings profile = DefaultSettings().Groups[0];
    profile.Buttons[2].ButtonFunc = 42;  // slot 4: 04 00 00 F8
    profile.Buttons[3].ButtonFunc = 39;  // slot 5: a sequence that fills bytes 2..81
    profile.Buttons[3].ButtonID = 0x0A0B;
    profile.Buttons[3].KeyNumber = kKeyDataEntries;
    profile.Buttons[3].KeyData.fill(0x5C);
    const SlotTable table = BuildSlotTable(profile);

    const OutputReport page12 = ButtonPageReport(table, 12);
    EXPECT_EQ(page12[0], 0);
    EXPECT_EQ(page12[1], 0x04);
    EXPECT_EQ(page12[4], 0xF8);
    EXPECT_TRUE(ZeroFrom(ButtonPageReport(table, 13), 0));

    EXPECT_EQ(ButtonPageReport(table, 15)[1], 0x0A);
    EXPECT_EQ(ButtonPageReport(table, 15)[2], 0x0B);
    // Byte 81 of the slot is byte 17 of its third page; byte 82 is the first one left zero.
    EXPECT_EQ(ButtonPageReport(table, 17)[1 + 81 - 64], 0x5C);
    EXPECT_EQ(ButtonPageReport(table, 17)[1 + 82 - 64], 0x00);
    EXPECT_EQ(ButtonPageReport(table, 23)[32], 0);
}

}  // namespace
