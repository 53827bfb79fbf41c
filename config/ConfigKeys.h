#pragma once
// Section and key names of config.ini, and the order in which the agent writes them.
#include <array>
#include <cstdint>
#include <string>

#include "SettingsImage.h"

namespace config_keys {

inline constexpr wchar_t kSettingSection[] = L"Setting";
inline constexpr wchar_t kProfile[] = L"Profile";
inline constexpr wchar_t kTrayEnabled[] = L"TrayEnabled";
inline constexpr wchar_t kMouseButtons[] = L"MouseButtons";
inline constexpr wchar_t kPollingRate[] = L"PollingRate";
inline constexpr wchar_t kPlug[] = L"Plug";
inline constexpr wchar_t kDpi[] = L"DPI";

inline constexpr wchar_t kButtonID[] = L"ButtonID";
inline constexpr wchar_t kButtonFunc[] = L"ButtonFunc";
inline constexpr wchar_t kKeyNumber[] = L"KeyNumber";
inline constexpr wchar_t kMacroName[] = L"MacroName";
inline constexpr wchar_t kPath[] = L"Path";

struct ProfileIntKey {
    const wchar_t* Name;
    std::int32_t ProfileSettings::*Field;
};

// The thirteen integer keys of a "GROUP%d" section, in the order they are written.
inline constexpr std::array<ProfileIntKey, 13> kProfileIntKeys = {{
    {L"SelectHand", &ProfileSettings::SelectHand},
    {L"WheelScrollLines", &ProfileSettings::WheelScrollLines},
    {L"MouseSensitivity", &ProfileSettings::MouseSensitivity},
    {L"DoubleClickSpeed", &ProfileSettings::DoubleClickSpeed},
    {L"UniversalScrollEnabled", &ProfileSettings::UniversalScrollEnabled},
    {L"AccelerationEnabled", &ProfileSettings::AccelerationEnabled},
    {L"XYSensitivityEnabled", &ProfileSettings::XYSensitivityEnabled},
    {L"MouseSpeedX", &ProfileSettings::MouseSpeedX},
    {L"MouseSpeedY", &ProfileSettings::MouseSpeedY},
    {L"OFASensitivity", &ProfileSettings::OFASensitivity},
    {L"LedState", &ProfileSettings::LedState},
    {L"FlashState", &ProfileSettings::FlashState},
    {L"DPI", &ProfileSettings::DPI},
}};

// "GROUP0".."GROUP2" for group 0..2.
std::wstring GroupSection(int group);
// "ButtonAssigned0_1".."ButtonAssigned2_8" for group 0..2 and button index 0..7. The same
// name is the key of the button's KeyData inside its group's section.
std::wstring ButtonSection(int group, int buttonIndex);

}  // namespace config_keys
