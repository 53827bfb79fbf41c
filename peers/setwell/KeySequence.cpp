#include "KeySequence.h"

#include <algorithm>
#include <array>

namespace {

// Virtual-key codes; the values are fixed by Windows.
constexpr unsigned kVkBack = 0x08, kVkTab = 0x09, kVkReturn = 0x0D, kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12,
                   kVkPause = 0x13, kVkCapital = 0x14, kVkEscape = 0x1B, kVkSpace = 0x20, kVkPrior = 0x21,
                   kVkNext = 0x22, kVkEnd = 0x23, kVkHome = 0x24, kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27,
                   kVkDown = 0x28, kVkSnapshot = 0x2C, kVkInsert = 0x2D, kVkDelete = 0x2E, kVkLWin = 0x5B,
                   kVkRWin = 0x5C, kVkApps = 0x5D, kVkNumpad0 = 0x60, kVkF1 = 0x70, kVkLShift = 0xA0, kVkRShift = 0xA1,
                   kVkLControl = 0xA2, kVkRControl = 0xA3, kVkLMenu = 0xA4, kVkRMenu = 0xA5;

struct OemKey {
    unsigned VirtualKey;
    std::uint8_t Usage;
};
// The US layout's punctuation keys.
constexpr std::array<OemKey, 11> kOemKeys = {{
    {0xBD, 0x2D},
    {0xBB, 0x2E},
    {0xDB, 0x2F},
    {0xDD, 0x30},
    {0xDC, 0x31},
    {0xBA, 0x33},
    {0xDE, 0x34},
    {0xC0, 0x35},
    {0xBC, 0x36},
    {0xBE, 0x37},
    {0xBF, 0x38},
}};

struct NamedUsage {
    std::uint8_t Usage;
    const wchar_t* Name;
};
constexpr std::array<NamedUsage, 38> kNames = {{
    {0x28, L"Enter"},     {0x29, L"Esc"},        {0x2A, L"Backspace"},
    {0x2B, L"Tab"},       {0x2C, L"Space"},      {0x2D, L"-"},
    {0x2E, L"="},         {0x2F, L"["},          {0x30, L"]"},
    {0x31, L"\\"},        {0x33, L";"},          {0x34, L"'"},
    {0x35, L"`"},         {0x36, L","},          {0x37, L"."},
    {0x38, L"/"},         {0x39, L"Caps Lock"},  {0x46, L"Print Screen"},
    {0x48, L"Pause"},     {0x49, L"Insert"},     {0x4A, L"Home"},
    {0x4B, L"Page Up"},   {0x4C, L"Delete"},     {0x4D, L"End"},
    {0x4E, L"Page Down"}, {0x4F, L"Right"},      {0x50, L"Left"},
    {0x51, L"Down"},      {0x52, L"Up"},         {0x65, L"Menu"},
    {0xE0, L"Left Ctrl"}, {0xE1, L"Left Shift"}, {0xE2, L"Left Alt"},
    {0xE3, L"Left Win"},  {0xE4, L"Right Ctrl"}, {0xE5, L"Right Shift"},
    {0xE6, L"Right Alt"}, {0xE7, L"Right Win"},
}};

int EventsInUse(const ButtonAssignment& button) { return std::min<int>(button.KeyNumber, kKeyDataEntries); }

}  // namespace

std::uint8_t KeyUsageOfVirtualKey(unsigned vk, bool extended) {
    if (vk >= 'A' && vk <= 'Z') return static_cast<std::uint8_t>(0x04 + (vk - 'A'));
    if (vk >= '1' && vk <= '9') return static_cast<std::uint8_t>(0x1E + (vk - '1'));
    if (vk == '0') return 0x27;
    if (vk >= kVkF1 && vk < kVkF1 + 12) return static_cast<std::uint8_t>(0x3A + (vk - kVkF1));
    if (vk >= kVkNumpad0 + 1 && vk <= kVkNumpad0 + 9) return static_cast<std::uint8_t>(0x59 + (vk - kVkNumpad0 - 1));
    if (vk == kVkNumpad0) return 0x62;
    for (const OemKey& key : kOemKeys) {
        if (key.VirtualKey == vk) return key.Usage;
    }
    switch (vk) {
        case kVkReturn: return 0x28;
        case kVkEscape: return 0x29;
        case kVkBack: return 0x2A;
        case kVkTab: return 0x2B;
        case kVkSpace: return 0x2C;
        case kVkCapital: return 0x39;
        case kVkSnapshot: return 0x46;
        case kVkPause: return 0x48;
        case kVkInsert: return 0x49;
        case kVkHome: return 0x4A;
        case kVkPrior: return 0x4B;
        case kVkDelete: return 0x4C;
        case kVkEnd: return 0x4D;
        case kVkNext: return 0x4E;
        case kVkRight: return 0x4F;
        case kVkLeft: return 0x50;
        case kVkDown: return 0x51;
        case kVkUp: return 0x52;
        case kVkApps: return 0x65;
        // Key messages name the generic modifier; the extended bit tells the right one.
        case kVkControl: return extended ? 0xE4 : 0xE0;
        case kVkMenu: return extended ? 0xE6 : 0xE2;
        case kVkShift: return 0xE1;
        case kVkLControl: return 0xE0;
        case kVkLShift: return 0xE1;
        case kVkLMenu: return 0xE2;
        case kVkLWin: return 0xE3;
        case kVkRControl: return 0xE4;
        case kVkRShift: return 0xE5;
        case kVkRMenu: return 0xE6;
        case kVkRWin: return 0xE7;
        default: return 0;
    }
}

std::wstring KeyUsageName(std::uint8_t usage) {
    if (usage >= 0x04 && usage <= 0x1D) return std::wstring(1, static_cast<wchar_t>(L'A' + (usage - 0x04)));
    if (usage >= 0x1E && usage <= 0x26) return std::wstring(1, static_cast<wchar_t>(L'1' + (usage - 0x1E)));
    if (usage == 0x27) return L"0";
    if (usage >= 0x3A && usage <= 0x45) return L"F" + std::to_wstring(usage - 0x3A + 1);
    if (usage >= 0x59 && usage <= 0x61) return L"Num " + std::to_wstring(usage - 0x59 + 1);
    if (usage == 0x62) return L"Num 0";
    for (const NamedUsage& named : kNames) {
        if (named.Usage == usage) return named.Name;
    }
    return L"Key " + std::to_wstring(usage);
}

bool AppendKeyEvent(ButtonAssignment& button, std::uint8_t usage, bool release) {
    if (usage == 0) return false;
    int count = EventsInUse(button);
    // Auto-repeat sends presses without releases; the mouse replays each one.
    if (!release) {
        for (int i = count - 1; i >= 0; --i) {
            if (button.KeyData[2 * i + 1] != usage) continue;
            if (button.KeyData[2 * i] == kKeyPress) return true;
            break;
        }
    }
    if (count >= kKeyDataEntries) return false;
    button.KeyData[2 * count] = release ? kKeyRelease : kKeyPress;
    button.KeyData[2 * count + 1] = usage;
    button.KeyNumber = static_cast<std::uint8_t>(count + 1);
    return true;
}

void ClearKeySequence(ButtonAssignment& button) {
    button.KeyData.fill(0);
    button.KeyNumber = 0;
}

std::wstring KeySequenceText(const ButtonAssignment& button) {
    std::wstring text;
    for (int i = 0; i < EventsInUse(button); ++i) {
        if (!text.empty()) text += L", ";
        const std::uint8_t flags = button.KeyData[2 * i];
        text += KeyUsageName(button.KeyData[2 * i + 1]);
        text += (flags & 0x80) ? L" up" : L" down";
    }
    return text;
}
