#include "ButtonFunctions.h"

#include <array>
#include <string>

namespace {

// The first five are the mouse's own buttons, which buttons 1 to 5 do by default; of the
// mouse's other own functions the PC sees nothing, so they go by their number.
constexpr std::array<ButtonFunctionChoice, 36> kChoices = {{
    {1, L"Left click"},
    {2, L"Right click"},
    {3, L"Middle click"},
    {4, L"Back"},
    {5, L"Forward"},
    {25, L"Mouse function 0xF9 (button 6 default)"},
    {6, L"Mouse function 0xF7 (button 7 default)"},
    {7, L"Mouse function 0xF8 (button 8 default)"},
    {12, L"Mouse function 0xF5"},
    {13, L"Mouse function 0xF6"},
    {30, L"Mouse function 0xED"},
    {31, L"Mouse function 0xEE"},
    {32, L"Mouse function 0xEF"},
    {46, L"Mouse function 0xEA"},
    {47, L"Mouse function 0xEB"},
    {48, L"Mouse function 0xEC"},
    {44, L"Disabled"},
    {27, L"Left click, sequence 3"},
    {28, L"Left click, sequence 5"},
    {29, L"Left click, sequence of the button's number"},
    {20, L"Play/Pause"},
    {24, L"Previous track"},
    {23, L"Next track"},
    {21, L"Volume up"},
    {22, L"Volume down"},
    {60, L"Mute"},
    {10, L"Zoom in"},
    {11, L"Zoom out"},
    {14, L"Copy (Ctrl+C)"},
    {16, L"Cut (Ctrl+X)"},
    {15, L"Paste (Ctrl+V)"},
    {17, L"Undo (Ctrl+Z)"},
    {18, L"Redo (Ctrl+Y)"},
    {19, L"Save (Ctrl+S)"},
    {kRunProgramFunc, L"Run a program"},
    {kKeySequenceFunc, L"Key sequence"},
}};

}  // namespace

std::span<const ButtonFunctionChoice> ButtonFunctionChoices() { return kChoices; }

std::wstring ButtonFunctionName(std::uint8_t buttonFunc) {
    for (const ButtonFunctionChoice& choice : kChoices) {
        if (choice.ButtonFunc == buttonFunc) return choice.Name;
    }
    return L"Unknown function " + std::to_wstring(buttonFunc);
}
