#include "ConfigText.h"

#include "ConfigKeys.h"

using namespace config_keys;

namespace {

void ReadButton(const IniReader& file, int group, int b, ButtonAssignment& button) {
    const std::wstring section = ButtonSection(group, b);
    button.ButtonID = file.ReadInt(section, kButtonID, -1);
    button.ButtonFunc = static_cast<std::uint8_t>(file.ReadInt(section, kButtonFunc, -1));
    button.KeyNumber = static_cast<std::uint8_t>(file.ReadInt(section, kKeyNumber, -1));
    SetFieldText(button.MacroName, file.ReadString(section, kMacroName, L""));
    // A path cut short names another file, or none: such a button opens nothing.
    const std::wstring path = file.ReadString(section, kPath, L"");
    SetFieldText(button.Path, PathFits(path) ? path : std::wstring());
    file.ReadStruct(GroupSection(group), section, button.KeyData);
}

}  // namespace

void ReadConfigFile(const IniReader& file, SettingsImage& image) {
    image.Profile = file.ReadInt(kSettingSection, kProfile, 0);
    image.TrayEnabled = file.ReadInt(kSettingSection, kTrayEnabled, -1);
    image.MouseButtons = file.ReadInt(kSettingSection, kMouseButtons, -1);
    image.PollingRate = file.ReadInt(kSettingSection, kPollingRate, -1);
    for (int g = 0; g < kProfileCount; ++g) {
        ProfileSettings& profile = image.Groups[g];
        const std::wstring section = GroupSection(g);
        for (const ProfileIntKey& key : kProfileIntKeys) profile.*key.Field = file.ReadInt(section, key.Name, -1);
        for (int b = 0; b < kButtonCount; ++b) ReadButton(file, g, b, profile.Buttons[b]);
    }
}

void LoadSettings(const IniReader& file, SettingsImage& image) {
    ResetSettings(image);
    ReadConfigFile(file, image);
    ValidateSettings(image);
}
