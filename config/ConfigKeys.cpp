#include "ConfigKeys.h"

namespace config_keys {

std::wstring GroupSection(int group) { return L"GROUP" + std::to_wstring(group); }

std::wstring ButtonSection(int group, int buttonIndex) {
    return L"ButtonAssigned" + std::to_wstring(group) + L"_" + std::to_wstring(buttonIndex + 1);
}

}  // namespace config_keys
