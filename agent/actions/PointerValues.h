#pragma once
// What the Windows pointer settings of a profile come to: the live values handed to the
// system-parameter calls and the Control Panel registry values read at log-on. The two
// double-click formulas differ by one step on purpose: the registry value is what the
// Control Panel shows for the same setting.
#include <array>
#include <cstdint>
#include <string_view>

#include "SettingsImage.h"

namespace pointer {

inline constexpr std::uint32_t kWheelPageScroll = 0xFFFFFFFF;

inline int LiveDoubleClickTime(const ProfileSettings& p) { return 900 - 70 * p.DoubleClickSpeed; }
inline int RegistryDoubleClickSpeed(const ProfileSettings& p) { return 970 - 70 * p.DoubleClickSpeed; }
inline int PointerSpeed(const ProfileSettings& p) { return 2 * p.MouseSensitivity; }

// Lines per wheel notch, or one page per notch when universal scrolling is on.
inline std::uint32_t LiveWheelScrollLines(const ProfileSettings& p) {
    return p.UniversalScrollEnabled != 0 ? kWheelPageScroll : static_cast<std::uint32_t>(p.WheelScrollLines);
}
inline int RegistryWheelScrollLines(const ProfileSettings& p) {
    return p.UniversalScrollEnabled != 0 ? -1 : p.WheelScrollLines;
}

// "MouseSpeed", "MouseThreshold1", "MouseThreshold2" as written at start-up.
struct AccelerationValues {
    int MouseSpeed;
    int Threshold1;
    int Threshold2;
};
inline AccelerationValues RegistryAcceleration(const ProfileSettings& p) {
    return p.AccelerationEnabled != 0 ? AccelerationValues{1, 6, 10} : AccelerationValues{0, 0, 0};
}

// The live acceleration step: with acceleration off, a non-zero registry triple is forced
// to zero (and written back as zeros); with it on, whatever the registry holds applies.
struct LiveAcceleration {
    bool WriteZeros;
    std::array<int, 3> MouseParams;  // threshold 1, threshold 2, acceleration
};
LiveAcceleration PlanLiveAcceleration(const ProfileSettings& p, int mouseSpeed, int threshold2, int threshold1);

// A registry text as an integer; missing, empty or non-numeric text counts as 0.
int RegistryInt(std::wstring_view text);

// The Windows versions the agent tells apart; Vista brought Core Audio.
enum class WindowsVersion { Other = 0, Windows9x = 1, WindowsMe = 2, Windows2000 = 3, WindowsXp = 4, VistaOrLater = 5 };
WindowsVersion ClassifyWindowsVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor);

}  // namespace pointer
