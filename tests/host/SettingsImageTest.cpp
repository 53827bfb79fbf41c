#include <gtest/gtest.h>

#include <array>

#include "SettingsImage.h"

namespace {

SettingsImage LoadedFromNothing() {
    SettingsImage image{};
    ResetSettings(image);
    // What reading a file without any key gives.
    image.Profile = 0;
    image.MouseButtons = -1;
    ValidateSettings(image);
    return image;
}

// Profile, MouseButtons, PollingRate and TrayEnabled.
std::array<std::int32_t, 4> GlobalValues(const SettingsImage& image) {
    return {image.Profile, image.MouseButtons, image.PollingRate, image.TrayEnabled};
}

TEST(SettingsImage, MissingFileLoadsAsTheDefaults) {
    const SettingsImage image = LoadedFromNothing();
    EXPECT_EQ(GlobalValues(image), (std::array<std::int32_t, 4>{0, 8, 1, 1}));
    const std::uint8_t funcs[kButtonCount] = {1, 2, 3, 4, 5, 25, 6, 7};
    for (const ProfileSettings& p : image.Groups) {
        EXPECT_EQ(p.DoubleClickSpeed, 5);
        EXPECT_EQ(p.WheelScrollLines, 3);
        EXPECT_EQ(p.UniversalScrollEnabled, 0);
        EXPECT_EQ(p.MouseSensitivity, 5);
        EXPECT_EQ(p.AccelerationEnabled, 0);
        EXPECT_EQ(p.XYSensitivityEnabled, 0);
        EXPECT_EQ(p.OFASensitivity, 10);
        EXPECT_EQ(p.MouseSpeedX, 10);
        EXPECT_EQ(p.MouseSpeedY, 10);
        EXPECT_EQ(p.LedState, 3);
        EXPECT_EQ(p.FlashState, 2);
        EXPECT_EQ(p.DPI, 3);
        EXPECT_EQ(p.SelectHand, 1);
        for (int b = 0; b < kButtonCount; ++b) {
            EXPECT_EQ(p.Buttons[b].ButtonFunc, funcs[b]) << "button " << b + 1;
            // Validation leaves what it does not range-check as reset.
            EXPECT_EQ(p.Buttons[b].ButtonID, b + 1);
            EXPECT_EQ(p.Buttons[b].KeyNumber, 0);
        }
    }
}

TEST(SettingsImage, ValidationKeepsInRangeValuesAndReplacesOthersByTheirDefaults) {
    struct Case {
        std::int32_t ProfileSettings::*Field;
        std::int32_t Value;
        std::int32_t Expected;
    };
    const Case cases[] = {
        {&ProfileSettings::DoubleClickSpeed, 0, 0},
        {&ProfileSettings::DoubleClickSpeed, 11, 5},
        {&ProfileSettings::MouseSensitivity, 0, 5},
        {&ProfileSettings::MouseSensitivity, 10, 10},
        {&ProfileSettings::WheelScrollLines, 0, 3},
        {&ProfileSettings::WheelScrollLines, 10, 10},
        {&ProfileSettings::DPI, 0, 3},
        {&ProfileSettings::DPI, 5, 3},
        {&ProfileSettings::DPI, 4, 4},
        {&ProfileSettings::SelectHand, 3, 1},
        {&ProfileSettings::LedState, 4, 3},
        {&ProfileSettings::FlashState, 4, 2},
        {&ProfileSettings::FlashState, 0, 0},
        {&ProfileSettings::OFASensitivity, 11, 10},
        {&ProfileSettings::MouseSpeedX, 0, 0},
        {&ProfileSettings::MouseSpeedY, -5, 10},
        {&ProfileSettings::AccelerationEnabled, 2, 0},
        {&ProfileSettings::UniversalScrollEnabled, 1, 1},
        {&ProfileSettings::XYSensitivityEnabled, -1, 0},
        {&ProfileSettings::MouseSensitivity, INT32_MAX, 5},
    };
    for (const Case& c : cases) {
        SettingsImage image = LoadedFromNothing();
        image.Groups[1].*c.Field = c.Value;
        ValidateSettings(image);
        EXPECT_EQ(image.Groups[1].*c.Field, c.Expected) << "value " << c.Value;
    }
}

TEST(SettingsImage, GlobalValuesOutOfRangeBecomeTheirDefaults) {
    SettingsImage image = LoadedFromNothing();
    image.Profile = 3;
    image.MouseButtons = 0;
    image.PollingRate = -1;
    image.TrayEnabled = 2;
    ValidateSettings(image);
    EXPECT_EQ(GlobalValues(image), (std::array<std::int32_t, 4>{0, 8, 1, 1}));

    image.Profile = 2;
    image.MouseButtons = 5;
    image.PollingRate = 0;
    image.TrayEnabled = 0;
    ValidateSettings(image);
    EXPECT_EQ(GlobalValues(image), (std::array<std::int32_t, 4>{2, 5, 0, 0}));
}

TEST(SettingsImage, OnlyUnsetButtonFunctionsGetTheirDefaults) {
    SettingsImage image = LoadedFromNothing();
    image.Groups[2].Buttons[5].ButtonFunc = 44;  // 300 read as its low 8 bits
    image.Groups[2].Buttons[6].ButtonFunc = 255;
    image.Groups[2].Buttons[6].KeyNumber = 255;
    ValidateSettings(image);
    EXPECT_EQ(image.Groups[2].Buttons[5].ButtonFunc, 44);
    EXPECT_EQ(image.Groups[2].Buttons[6].ButtonFunc, 6);
    EXPECT_EQ(image.Groups[2].Buttons[6].KeyNumber, 255) << "KeyNumber is left as read";
}

TEST(SettingsImage, CurrentProfileFollowsProfileAndStaysInsideTheGroups) {
    SettingsImage image = LoadedFromNothing();
    image.Groups[2].DPI = 1;
    image.Profile = 2;
    EXPECT_EQ(CurrentProfile(image).DPI, 1);
    image.Profile = -1;
    EXPECT_EQ(&CurrentProfile(image), &image.Groups[0]);
    image.Profile = 7;
    EXPECT_EQ(&CurrentProfile(image), &image.Groups[0]);
}

TEST(SettingsImage, FieldTextIsCutToTheFieldAndStaysTerminated) {
    ButtonAssignment button{};
    SetFieldText(button.MacroName, std::wstring(200, L'm'));
    EXPECT_EQ(FieldText(button.MacroName).size(), kMacroNameUnits - 1u);
    EXPECT_EQ(button.MacroName.back(), L'\0');

    SetFieldText(button.Path, L"C:\\Tools\\app.exe");
    EXPECT_EQ(FieldText(button.Path), L"C:\\Tools\\app.exe");
    SetFieldText(button.Path, L"D:\\x");
    EXPECT_EQ(FieldText(button.Path), L"D:\\x") << "a shorter text clears the rest";
    EXPECT_EQ(button.Path[5], L'\0');

    // A cut never leaves the first half of a surrogate pair at the end.
    std::wstring text(kMacroNameUnits - 2, L'a');
    text += L"\xD83D\xDE00";
    SetFieldText(button.MacroName, text);
    EXPECT_EQ(FieldText(button.MacroName), std::wstring(kMacroNameUnits - 2, L'a'));
}

}  // namespace
