// Any config.ini text loads into a settings image whose every value is in its valid range
// and whose texts end inside their fields.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ConfigText.h"
#include "IniText.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void RequireWithin(std::int32_t value, std::int32_t low, std::int32_t high) { Require(value >= low && value <= high); }

// Zero-terminated, and zero to the end of the field after that.
template <std::size_t N>
void RequireFieldText(const std::array<wchar_t, N>& field) {
    const std::size_t length = FieldText(field).size();
    Require(length < N);
    for (std::size_t i = length; i < N; ++i) Require(field[i] == L'\0');
}

void RequireValidProfile(const ProfileSettings& p) {
    RequireWithin(p.SelectHand, 0, 2);
    RequireWithin(p.OFASensitivity, 0, 10);
    RequireWithin(p.MouseSpeedX, 0, 10);
    RequireWithin(p.MouseSpeedY, 0, 10);
    RequireWithin(p.MouseSensitivity, 1, 10);
    RequireWithin(p.DoubleClickSpeed, 0, 10);
    RequireWithin(p.WheelScrollLines, 1, 10);
    RequireWithin(p.UniversalScrollEnabled, 0, 1);
    RequireWithin(p.AccelerationEnabled, 0, 1);
    RequireWithin(p.XYSensitivityEnabled, 0, 1);
    RequireWithin(p.LedState, 0, 3);
    RequireWithin(p.FlashState, 0, 3);
    RequireWithin(p.DPI, 1, 4);
    for (const ButtonAssignment& button : p.Buttons) {
        Require(button.ButtonFunc != kButtonFuncUnset);
        RequireFieldText(button.MacroName);
        RequireFieldText(button.Path);
    }
}

// The image as the agent holds it before its first load: whatever was in memory.
std::unique_ptr<SettingsImage> GarbageImage() {
    auto image = std::make_unique<SettingsImage>();
    std::memset(static_cast<void*>(image.get()), 0xA5, sizeof(SettingsImage));
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const IniText file(IniText::DecodeFileBytes({data, size}));

    const auto image = GarbageImage();
    LoadSettings(file, *image);
    RequireWithin(image->Profile, 0, 2);
    RequireWithin(image->MouseButtons, 1, 8);
    RequireWithin(image->TrayEnabled, 0, 1);
    RequireWithin(image->PollingRate, 0, 2);
    for (const ProfileSettings& profile : image->Groups) RequireValidProfile(profile);

    // Loading depends on the file alone, not on what the image held before.
    const auto again = std::make_unique<SettingsImage>();
    LoadSettings(file, *again);
    Require(*again == *image);
    return 0;
}
