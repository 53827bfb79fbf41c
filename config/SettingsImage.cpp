#include "SettingsImage.h"

namespace {

constexpr std::uint8_t kDefaultButtonFuncs[kButtonCount] = {1, 2, 3, 4, 5, 25, 6, 7};

// Unsigned comparison: negative values count as too large.
bool Above(std::int32_t value, std::uint32_t limit) { return static_cast<std::uint32_t>(value) > limit; }

void ReplaceAbove(std::int32_t& value, std::uint32_t limit, std::int32_t fallback) {
    if (Above(value, limit)) value = fallback;
}

void ReplaceZeroOrAbove(std::int32_t& value, std::uint32_t limit, std::int32_t fallback) {
    if (value == 0 || Above(value, limit)) value = fallback;
}

void ValidateProfile(ProfileSettings& p) {
    ReplaceAbove(p.SelectHand, 2, 1);
    ReplaceAbove(p.OFASensitivity, 10, 10);
    ReplaceAbove(p.MouseSpeedX, 10, 10);
    ReplaceAbove(p.MouseSpeedY, 10, 10);
    ReplaceZeroOrAbove(p.MouseSensitivity, 10, 5);
    ReplaceAbove(p.DoubleClickSpeed, 10, 5);
    ReplaceZeroOrAbove(p.WheelScrollLines, 10, 3);
    ReplaceAbove(p.UniversalScrollEnabled, 1, 0);
    ReplaceAbove(p.AccelerationEnabled, 1, 0);
    ReplaceAbove(p.XYSensitivityEnabled, 1, 0);
    ReplaceAbove(p.LedState, 3, 3);
    ReplaceAbove(p.FlashState, 3, 2);
    ReplaceZeroOrAbove(p.DPI, 4, 3);
    for (int b = 0; b < kButtonCount; ++b) {
        if (p.Buttons[b].ButtonFunc == kButtonFuncUnset) p.Buttons[b].ButtonFunc = DefaultButtonFunc(b);
    }
}

}  // namespace

std::uint8_t DefaultButtonFunc(int buttonIndex) { return kDefaultButtonFuncs[buttonIndex]; }

void ResetSettings(SettingsImage& image) {
    image.Profile = -1;
    image.PollingRate = -1;
    image.TrayEnabled = -1;
    for (ProfileSettings& p : image.Groups) {
        p.DoubleClickSpeed = p.WheelScrollLines = p.UniversalScrollEnabled = p.MouseSensitivity = -1;
        p.AccelerationEnabled = p.XYSensitivityEnabled = p.OFASensitivity = -1;
        p.MouseSpeedX = p.MouseSpeedY = p.LedState = p.FlashState = p.DPI = p.SelectHand = -1;
        for (int b = 0; b < kButtonCount; ++b) {
            ButtonAssignment& button = p.Buttons[b];
            button.ButtonID = b + 1;
            button.ButtonFunc = kButtonFuncUnset;
            button.KeyNumber = 0;
            button.KeyData.fill(0);
            button.MacroName.fill(L'\0');
            button.Path.fill(L'\0');
        }
    }
}

void ValidateSettings(SettingsImage& image) {
    ReplaceAbove(image.Profile, 2, 0);
    ReplaceZeroOrAbove(image.MouseButtons, 8, 8);
    if (image.TrayEnabled != 0 && image.TrayEnabled != 1) image.TrayEnabled = 1;
    ReplaceAbove(image.PollingRate, 2, 1);
    for (ProfileSettings& p : image.Groups) ValidateProfile(p);
}

const ProfileSettings& CurrentProfile(const SettingsImage& image) {
    const bool valid = image.Profile >= 0 && image.Profile < kProfileCount;
    return image.Groups[valid ? image.Profile : 0];
}

SettingsImage DefaultSettings() {
    SettingsImage image{};
    ResetSettings(image);
    image.Profile = 0;  // what a missing "Profile" reads as
    ValidateSettings(image);
    return image;
}
