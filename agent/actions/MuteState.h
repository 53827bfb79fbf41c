#pragma once
// Whether the system's master output is muted, for the mute key's notice. The audio
// objects are kept between queries and released after every apply command, so that a
// change of the default device is picked up.
#include <cstdint>

std::uint32_t GetMuteState();
// The same for a given Windows version class (5: Core Audio, else the mixer).
std::uint32_t GetMuteStateFor(int windowsVersionClass);
void ReleaseAudioObjects();
// Whether the objects are there (for tests of their lifecycle).
bool AudioObjectsExist();
