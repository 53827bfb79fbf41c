#pragma once
// The agent's whole settings state: four global values and three profiles of thirteen
// values and eight button bindings each. Field names are the config.ini key names.
#include <array>
#include <cstdint>
#include <string_view>

inline constexpr int kProfileCount = 3;
inline constexpr int kButtonCount = 8;

// Button functions that mean more than a row of the mouse's own table: the button plays
// its KeyData, or opens its Path.
inline constexpr std::uint8_t kKeySequenceFunc = 39;
inline constexpr std::uint8_t kRunProgramFunc = 42;

// The resolution of CPI level 1..4 (a profile's DPI).
inline constexpr int CpiOfLevel(int level) { return 500 * level; }

inline constexpr int kKeyDataEntries = 40;
inline constexpr int kKeyDataBytes = 2 * kKeyDataEntries;
inline constexpr int kMacroNameUnits = 50;
inline constexpr int kPathUnits = 260;
inline constexpr std::uint8_t kButtonFuncUnset = 255;

struct ButtonAssignment {
    std::int32_t ButtonID;
    std::uint8_t ButtonFunc;
    std::uint8_t KeyNumber;
    std::array<std::uint8_t, kKeyDataBytes> KeyData;
    std::array<wchar_t, kMacroNameUnits> MacroName;
    std::array<wchar_t, kPathUnits> Path;

    bool operator==(const ButtonAssignment&) const = default;
};

struct ProfileSettings {
    std::int32_t DoubleClickSpeed;
    std::int32_t WheelScrollLines;
    std::int32_t UniversalScrollEnabled;
    std::int32_t MouseSensitivity;
    std::int32_t AccelerationEnabled;
    std::int32_t XYSensitivityEnabled;
    std::int32_t OFASensitivity;
    std::int32_t MouseSpeedX;
    std::int32_t MouseSpeedY;
    std::int32_t LedState;
    std::int32_t FlashState;
    std::int32_t DPI;
    std::int32_t SelectHand;
    std::array<ButtonAssignment, kButtonCount> Buttons;

    bool operator==(const ProfileSettings&) const = default;
};

struct SettingsImage {
    std::int32_t MouseButtons;
    std::int32_t Profile;
    std::int32_t PollingRate;
    std::int32_t TrayEnabled;
    std::array<ProfileSettings, kProfileCount> Groups;

    bool operator==(const SettingsImage&) const = default;
};

// Every field unset: integers -1, ButtonFunc 255, KeyNumber 0, ButtonID the button's own
// number 1..8, texts and KeyData zero. MouseButtons is left as it was.
void ResetSettings(SettingsImage& image);

// Replaces out-of-range values by their defaults and unset ButtonFunc values by the
// button's default function. Ranges are compared unsigned, so -1 counts as too large.
void ValidateSettings(SettingsImage& image);

// The settings of a config.ini without keys: every value as validation fills in a missing
// one, each button with its own number and default function, no key sequence, macro name
// or program.
SettingsImage DefaultSettings();

// The profile that Profile selects (profile 0 if Profile is out of range).
const ProfileSettings& CurrentProfile(const SettingsImage& image);

// The default function of button index 0..7.
std::uint8_t DefaultButtonFunc(int buttonIndex);

// Copies text into a fixed field, cut to leave room for the terminating zero (and never
// ending in half of a surrogate pair), the rest of the field zero.
template <std::size_t N>
void SetFieldText(std::array<wchar_t, N>& field, std::wstring_view text) {
    std::size_t count = text.size() < N - 1 ? text.size() : N - 1;
    if (count < text.size() && count > 0 && text[count - 1] >= 0xD800 && text[count - 1] <= 0xDBFF) --count;
    field.fill(L'\0');
    text.copy(field.data(), count);
}

// Whether a program path fits the Path field whole; a cut one must never be opened.
inline bool PathFits(std::wstring_view path) { return path.size() < static_cast<std::size_t>(kPathUnits); }

// The text of a fixed field, up to its terminating zero (or the whole field if none).
template <std::size_t N>
std::wstring_view FieldText(const std::array<wchar_t, N>& field) {
    std::size_t length = 0;
    while (length < N && field[length] != L'\0') ++length;
    return std::wstring_view(field.data(), length);
}
