#pragma once
// Whether the system's master output is muted, for the mute key's notice. The audio
// objects are kept between queries and released after every apply command, so that a
// change of the default device is picked up.
#include <cstdint>

#include "PointerValues.h"

std::uint32_t GetMuteState();
// The same for a given Windows version: Core Audio from Vista on, else the mixer.
std::uint32_t GetMuteStateFor(pointer::WindowsVersion version);
void ReleaseAudioObjects();
// Whether the objects are there (for tests of their lifecycle).
bool AudioObjectsExist();
