#pragma once
// A profile that sets only what the pointer settings read, for the host tests of their
// values and the Windows tests of their calls.
#include "SettingsImage.h"

inline ProfileSettings PointerProfile(int doubleClick, int sensitivity, int wheel, int universal, int acceleration) {
    ProfileSettings p{};
    p.DoubleClickSpeed = doubleClick;
    p.MouseSensitivity = sensitivity;
    p.WheelScrollLines = wheel;
    p.UniversalScrollEnabled = universal;
    p.AccelerationEnabled = acceleration;
    return p;
}
