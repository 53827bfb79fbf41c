#include "ConfigFile.h"

#include "ConfigKeys.h"
#include "actions/PointerSettings.h"

using namespace config_keys;

namespace {

void ReadButton(const IniFile& file, int group, int b, ButtonAssignment& button) {
    const std::wstring section = ButtonSection(group, b);
    button.ButtonID = file.ReadInt(section, kButtonID, -1);
    button.ButtonFunc = static_cast<std::uint8_t>(file.ReadInt(section, kButtonFunc, -1));
    button.KeyNumber = static_cast<std::uint8_t>(file.ReadInt(section, kKeyNumber, -1));
    SetFieldText(button.MacroName, file.ReadString(section, kMacroName, L""));
    SetFieldText(button.Path, file.ReadString(section, kPath, L""));
    file.ReadStruct(GroupSection(group), section, button.KeyData);
}

void WriteButton(const IniFile& file, int group, int b, const ButtonAssignment& button) {
    const std::wstring section = ButtonSection(group, b);
    file.WriteInt(section, kButtonID, button.ButtonID);
    file.WriteInt(section, kButtonFunc, button.ButtonFunc);
    file.WriteInt(section, kKeyNumber, button.KeyNumber);
    file.WriteString(section, kMacroName, std::wstring(FieldText(button.MacroName)));
    file.WriteString(section, kPath, std::wstring(FieldText(button.Path)));
    file.WriteStruct(GroupSection(group), section, button.KeyData);
}

}  // namespace

void ReadConfigFile(const IniFile& file, SettingsImage& image) {
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

void WriteConfigFile(const IniFile& file, const SettingsImage& image) {
    file.WriteInt(kSettingSection, kProfile, image.Profile);
    file.WriteInt(kSettingSection, kTrayEnabled, image.TrayEnabled);
    file.WriteInt(kSettingSection, kMouseButtons, image.MouseButtons);
    file.WriteInt(kSettingSection, kPollingRate, image.PollingRate);
    for (int g = 0; g < kProfileCount; ++g) {
        const ProfileSettings& profile = image.Groups[g];
        const std::wstring section = GroupSection(g);
        for (const ProfileIntKey& key : kProfileIntKeys) file.WriteInt(section, key.Name, profile.*key.Field);
        for (int b = 0; b < kButtonCount; ++b) WriteButton(file, g, b, profile.Buttons[b]);
    }
}

void LoadSettings(const IniFile& file, SettingsImage& image) {
    ResetSettings(image);
    ReadConfigFile(file, image);
    ValidateSettings(image);
}

void PersistSettings(const IniFile& file, const SettingsImage& image) {
    WritePointerRegistryValues(image);
    WriteConfigFile(file, image);
}

void SavePlugState(const IniFile& file, int plugged) { file.WriteInt(kSettingSection, kPlug, plugged); }

void SaveCurrentProfile(const IniFile& file, int index) { file.WriteInt(kSettingSection, kProfile, index); }

void SaveGroupDpi(const IniFile& file, int level, int group) { file.WriteInt(GroupSection(group), kDpi, level); }
