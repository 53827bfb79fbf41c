#include "LivePointerSettings.h"

#include "PointerRegistry.h"
#include "PointerValues.h"

namespace pointer {

using pointer_registry::kMouseSpeed;
using pointer_registry::kThreshold1;
using pointer_registry::kThreshold2;

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
