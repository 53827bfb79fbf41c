#include "ConfigText.h"

#include "ConfigKeys.h"
#include "StructEncoding.h"

using namespace config_keys;

std::vector<IniEntry> ConfigEntries(const SettingsImage& image, const IniReader* current) {
    std::vector<IniEntry> entries;
    const auto add = [&](const std::wstring& section, const wchar_t* key, std::wstring value) {
        entries.push_back({section, key, std::move(value)});
    };
    add(kSettingSection, kProfile, std::to_wstring(image.Profile));
    add(kSettingSection, kTrayEnabled, std::to_wstring(image.TrayEnabled));
    add(kSettingSection, kMouseButtons, std::to_wstring(image.MouseButtons));
    add(kSettingSection, kPollingRate, std::to_wstring(image.PollingRate));
    for (int g = 0; g < kProfileCount; ++g) {
        const ProfileSettings& profile = image.Groups[g];
        const std::wstring group = GroupSection(g);
        for (const ProfileIntKey& key : kProfileIntKeys) add(group, key.Name, std::to_wstring(profile.*key.Field));
        for (int b = 0; b < kButtonCount; ++b) {
            const ButtonAssignment& button = profile.Buttons[b];
            const std::wstring section = ButtonSection(g, b);
            add(section, kButtonID, std::to_wstring(button.ButtonID));
            add(section, kButtonFunc, std::to_wstring(button.ButtonFunc));
            add(section, kKeyNumber, std::to_wstring(button.KeyNumber));
            add(section, kMacroName, std::wstring(FieldText(button.MacroName)));
            // An empty path may stand for one that did not fit, which stays as the file has it.
            if (!FieldText(button.Path).empty() || !current || PathFits(current->ReadString(section, kPath, L"")))
                add(section, kPath, std::wstring(FieldText(button.Path)));
            add(group, section.c_str(), EncodeStruct(button.KeyData));
        }
    }
    return entries;
}

IniEntry PlugStateKey(int plugged) { return {kSettingSection, kPlug, std::to_wstring(plugged)}; }

IniEntry CurrentProfileKey(int index) { return {kSettingSection, kProfile, std::to_wstring(index)}; }

IniEntry GroupDpiKey(int level, int group) { return {GroupSection(group), kDpi, std::to_wstring(level)}; }
