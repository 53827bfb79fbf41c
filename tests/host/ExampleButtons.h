#pragma once
// Buttons the tests give the default settings (DefaultSettings()), varied per case.
#include <cstdint>
#include <initializer_list>

#include "SettingsImage.h"

// A key sequence: Left Control pressed and released (00 E0 80 E0) by default, travelling
// to the mouse with buttonId.
inline ButtonAssignment KeySequenceButton(int buttonId = 0x0102,
                                          std::initializer_list<std::uint8_t> keys = {0x00, 0xE0, 0x80, 0xE0}) {
    ButtonAssignment button{};
    button.ButtonID = buttonId;
    button.ButtonFunc = kKeySequenceFunc;
    button.KeyNumber = static_cast<std::uint8_t>(keys.size() / 2);
    std::size_t at = 0;
    for (std::uint8_t key : keys) button.KeyData[at++] = key;
    return button;
}
