#pragma once
// The functions a button can be given, by the names the window shows, in the order the
// window lists them.
#include <cstdint>
#include <span>
#include <string>

#include "SettingsImage.h"

struct ButtonFunctionChoice {
    std::uint8_t ButtonFunc;
    const wchar_t* Name;
};

// Every function the mouse can be programmed with, the key sequence among them.
std::span<const ButtonFunctionChoice> ButtonFunctionChoices();

// The name of a code; codes the mouse does not know are named by number, so that a file
// holding one still shows (and keeps) what it holds.
std::wstring ButtonFunctionName(std::uint8_t buttonFunc);
