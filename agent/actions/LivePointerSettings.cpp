#include "LivePointerSettings.h"

#include "actions/PointerValues.h"

namespace pointer {

namespace {

constexpr wchar_t kMouseSpeed[] = L"MouseSpeed";
constexpr wchar_t kThreshold1[] = L"MouseThreshold1";
constexpr wchar_t kThreshold2[] = L"MouseThreshold2";

}  // namespace

void ApplyPointerSettings(const ProfileSettings& profile, PointerSystem& system) {
    ApplyDoubleClickTime(profile, system);
    ApplyPointerSpeed(profile, system);
    ApplyWheelScrolling(profile, system);
}

void ApplyDoubleClickTime(const ProfileSettings& profile, PointerSystem& system) {
    system.SetDoubleClickTime(static_cast<std::uint32_t>(LiveDoubleClickTime(profile)));
}

void ApplyPointerSpeed(const ProfileSettings& profile, PointerSystem& system) {
    const int mouseSpeed = RegistryInt(system.ReadMouseValue(kMouseSpeed));
    const int threshold2 = RegistryInt(system.ReadMouseValue(kThreshold2));
    const int threshold1 = RegistryInt(system.ReadMouseValue(kThreshold1));
    LiveAcceleration plan = PlanLiveAcceleration(profile, mouseSpeed, threshold2, threshold1);
    if (plan.WriteZeros) {
        for (const wchar_t* name : {kMouseSpeed, kThreshold2, kThreshold1}) system.WriteMouseValue(name, L"0");
    }
    system.SetSystemParameter(kSpiSetMouse, 0, plan.MouseParams.data(), kSpifSendChange);
    system.NotifySettingChange(kSpiSetMouse, reinterpret_cast<std::intptr_t>(plan.MouseParams.data()));

    // The speed is the value of the pointer argument itself; the integer argument stays 0.
    const auto speed = static_cast<std::uintptr_t>(PointerSpeed(profile));
    system.SetSystemParameter(kSpiSetMouseSpeed, 0, reinterpret_cast<void*>(speed), kSpifSendChange);
    system.NotifySettingChange(kSpiSetMouseSpeed, 0);
}

void ApplyWheelScrolling(const ProfileSettings& profile, PointerSystem& system) {
    system.SetSystemParameter(kSpiSetWheelScrollLines, LiveWheelScrollLines(profile), nullptr,
                              kSpifUpdateIniFile | kSpifSendChange);
    system.NotifySettingChange(kSpiSetWheelScrollLines, 0);
}

}  // namespace pointer
