#include "ConfigFile.h"

#include "ConfigKeys.h"
#include "actions/PointerSettings.h"

using namespace config_keys;

namespace {

void WriteButton(const IniFile& file, int group, int b, const ButtonAssignment& button) {
    const std::wstring section = ButtonSection(group, b);
    file.WriteInt(section, kButtonID, button.ButtonID);
    file.WriteInt(section, kButtonFunc, button.ButtonFunc);
    file.WriteInt(section, kKeyNumber, button.KeyNumber);
    file.WriteString(section, kMacroName, std::wstring(FieldText(button.MacroName)));
    // An empty path may stand for one that did not fit, which stays as the file has it.
    if (!FieldText(button.Path).empty() || PathFits(file.ReadString(section, kPath, L"")))
        file.WriteString(section, kPath, std::wstring(FieldText(button.Path)));
    file.WriteStruct(GroupSection(group), section, button.KeyData);
}

}  // namespace

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

void PersistSettings(const IniFile& file, const SettingsImage& image) {
    WritePointerRegistryValues(image);
    WriteConfigFile(file, image);
}

void SavePlugState(const IniFile& file, int plugged) { file.WriteInt(kSettingSection, kPlug, plugged); }

void SaveCurrentProfile(const IniFile& file, int index) { file.WriteInt(kSettingSection, kProfile, index); }

void SaveGroupDpi(const IniFile& file, int level, int group) { file.WriteInt(GroupSection(group), kDpi, level); }
