// config.ini's text loaded into the settings image as the agent loads it: values of any
// width, damaged blocks, junk and duplicates.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "ConfigText.h"
#include "IniText.h"

namespace {

SettingsImage Load(const std::string& text) {
    SettingsImage image{};
    LoadSettings(IniText(std::wstring(text.begin(), text.end())), image);
    return image;
}

TEST(ConfigText, ByteFieldsKeepTheirLow8BitsAndLongTextsAreCut) {
    const SettingsImage image = Load(
        "[ButtonAssigned1_2]\r\nButtonFunc=300\r\nKeyNumber=-2\r\nButtonID=99999999999\r\n"
        "MacroName=" +
        std::string(120, 'M') + "\r\nPath=C:\\" + std::string(400, 'p') + "\r\n");
    const ButtonAssignment& button = image.Groups[1].Buttons[1];
    EXPECT_EQ(button.ButtonFunc, 44);
    EXPECT_EQ(button.KeyNumber, 254);
    EXPECT_EQ(button.ButtonID, INT32_MAX);
    EXPECT_EQ(FieldText(button.MacroName), std::wstring(49, L'M'));
    EXPECT_TRUE(FieldText(button.Path).empty()) << "a path cut short would open another file";
}

TEST(ConfigText, KeyDataLoadsOnlyFromAValueOfTheRightLengthAndChecksum) {
    std::string good = "01";
    good += std::string(158, '0');
    good += "01";  // sum of the 80 bytes: 1
    const std::string badSum = good.substr(0, 160) + "02";
    const std::string shortValue = good.substr(0, 100);
    const std::string badHex = "G" + good.substr(1);
    const SettingsImage image =
        Load("[GROUP0]\r\nButtonAssigned0_1=" + good + "\r\nButtonAssigned0_2=" + badSum +
             "\r\nButtonAssigned0_3=" + shortValue + "\r\nButtonAssigned0_4=" + badHex + "\r\n");
    EXPECT_EQ(image.Groups[0].Buttons[0].KeyData[0], 1);
    for (int b = 1; b < 4; ++b) {
        for (std::uint8_t byte : image.Groups[0].Buttons[b].KeyData) ASSERT_EQ(byte, 0) << "button " << b + 1;
    }
}

TEST(ConfigText, JunkNonNumbersAndDuplicatesLoadAsValidatedValues) {
    const SettingsImage image = Load(
        "[Setting]\r\nProfile=two\r\nProfile=2\r\nTrayEnabled=99999999999999\r\n"
        "[GROUP1]\r\nDPI=fast\r\nMouseSensitivity=-4\r\n[GROUP1]\r\nDPI=1\r\n");
    // As the profile functions read a file: the first section and the first key of a name.
    EXPECT_EQ(image.Profile, 0);
    EXPECT_EQ(image.TrayEnabled, 1);
    EXPECT_EQ(image.Groups[1].DPI, 3);
    EXPECT_EQ(image.Groups[1].MouseSensitivity, 5);
}

}  // namespace
