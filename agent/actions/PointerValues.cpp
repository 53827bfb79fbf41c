#include "PointerValues.h"

#include "DecimalText.h"

namespace pointer {

LiveAcceleration PlanLiveAcceleration(const ProfileSettings& p, int mouseSpeed, int threshold2, int threshold1) {
    if (p.AccelerationEnabled != 1 && (mouseSpeed != 0 || threshold2 != 0 || threshold1 != 0)) return {true, {0, 0, 0}};
    return {false, {threshold1, threshold2, mouseSpeed}};
}

int RegistryInt(std::wstring_view text) { return ParseDecimal(text).value_or(0); }

WindowsVersion ClassifyWindowsVersion(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor) {
    constexpr std::uint32_t kPlatformWindows = 1;  // VER_PLATFORM_WIN32_WINDOWS
    constexpr std::uint32_t kPlatformNt = 2;       // VER_PLATFORM_WIN32_NT
    if (platformId == kPlatformNt) {
        if (major == 5) return minor == 0 ? WindowsVersion::Windows2000 : WindowsVersion::WindowsXp;
        if (major > 5) return WindowsVersion::VistaOrLater;
    } else if (platformId == kPlatformWindows && major == 4) {
        return minor < 90 ? WindowsVersion::Windows9x : WindowsVersion::WindowsMe;
    }
    return WindowsVersion::Other;
}

}  // namespace pointer
