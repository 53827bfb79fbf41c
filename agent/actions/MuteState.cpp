#include "MuteState.h"

#include <memory>
#include <new>

#include "PointerSettings.h"
#include "VistaAudioControl.h"
#include "WTMixer.h"

namespace {

std::unique_ptr<CVistaAudioControl> coreAudio;
std::unique_ptr<CWTMixer> mixer;
// Keeps the last state read, so that a failed query repeats it.
int lastCoreAudioMute = 0;

}  // namespace

std::uint32_t GetMuteState() { return GetMuteStateFor(GetWindowsVersion()); }

std::uint32_t GetMuteStateFor(pointer::WindowsVersion version) {
    if (!mixer) mixer.reset(new (std::nothrow) CWTMixer(nullptr));
    if (!coreAudio) coreAudio.reset(new (std::nothrow) CVistaAudioControl);
    if (version == pointer::WindowsVersion::VistaOrLater) {
        if (coreAudio) coreAudio->GetMute(&lastCoreAudioMute);
        return static_cast<std::uint32_t>(lastCoreAudioMute);
    }
    if (!mixer) return 0;
    mixer->OpenSpeakersLine();
    return mixer->GetMute();
}

void ReleaseAudioObjects() {
    coreAudio.reset();
    mixer.reset();
}

bool AudioObjectsExist() { return coreAudio != nullptr || mixer != nullptr; }
