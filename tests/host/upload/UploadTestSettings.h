#pragma once
// Settings as the agent holds them after loading a config.ini that has no keys.
#include "SettingsImage.h"

inline SettingsImage DefaultSettings() {
    SettingsImage image{};
    ResetSettings(image);
    image.Profile = 0;
    ValidateSettings(image);
    return image;
}
