#pragma once
// The live pointer settings of a profile, applied through a PointerSystem: double-click
// time, pointer speed with acceleration, and wheel scrolling, each step on its own.
#include "PointerSystem.h"
#include "SettingsImage.h"

namespace pointer {

// The three steps below, in this order.
void ApplyPointerSettings(const ProfileSettings& profile, PointerSystem& system);
void ApplyDoubleClickTime(const ProfileSettings& profile, PointerSystem& system);
// The acceleration triple comes from the mouse key; with acceleration off a non-zero
// triple is written back as zeros first.
void ApplyPointerSpeed(const ProfileSettings& profile, PointerSystem& system);
void ApplyWheelScrolling(const ProfileSettings& profile, PointerSystem& system);

}  // namespace pointer
