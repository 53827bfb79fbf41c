// The mute key's notice asks for the master mute state. Wine keeps mute per process (and
// the endpoint volume's even per object), so these tests set the mixer's mute in this
// process and read it back through the agent's own objects.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include "MuteState.h"

namespace {

constexpr auto kCoreAudio = pointer::WindowsVersion::VistaOrLater;
constexpr auto kMixer = pointer::WindowsVersion::WindowsXp;

// The speakers line's mute control of mixer 0.
bool SetMixerMute(bool mute) {
    HMIXER mixer = nullptr;
    if (mixerOpen(&mixer, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR) return false;
    MIXERLINEW line{};
    line.cbStruct = sizeof(line);
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    MIXERCONTROLW control{};
    MIXERLINECONTROLSW controls{};
    controls.cbStruct = sizeof(controls);
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_MUTE;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(control);
    controls.pamxctrl = &control;
    bool done = false;
    if (mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer), &line, MIXER_GETLINEINFOF_COMPONENTTYPE) == 0) {
        controls.dwLineID = line.dwLineID;
        if (mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer), &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
            0) {
            MIXERCONTROLDETAILS_BOOLEAN value{static_cast<LONG>(mute)};
            MIXERCONTROLDETAILS details{};
            details.cbStruct = sizeof(details);
            details.dwControlID = control.dwControlID;
            details.cChannels = 1;
            details.cbDetails = sizeof(value);
            details.paDetails = &value;
            done = mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer), &details,
                                          MIXER_SETCONTROLDETAILSF_VALUE) == 0;
        }
    }
    mixerClose(mixer);
    return done;
}

TEST(MuteState, TheMixerReadsTheSpeakersMuteEachTime) {
    ASSERT_TRUE(SetMixerMute(true));
    EXPECT_EQ(GetMuteStateFor(kMixer), 1u);
    ASSERT_TRUE(SetMixerMute(false));
    EXPECT_EQ(GetMuteStateFor(kMixer), 0u);
    ReleaseAudioObjects();
}

TEST(MuteState, TheObjectsLiveFromTheFirstQueryUntilReleasedAndComeBackAfter) {
    ReleaseAudioObjects();
    EXPECT_FALSE(AudioObjectsExist());
    GetMuteStateFor(kCoreAudio);
    EXPECT_TRUE(AudioObjectsExist());
    ReleaseAudioObjects();
    EXPECT_FALSE(AudioObjectsExist());
    ReleaseAudioObjects();  // twice is harmless

    GetMuteStateFor(kMixer);
    ASSERT_TRUE(SetMixerMute(true));
    ReleaseAudioObjects();
    EXPECT_EQ(GetMuteStateFor(kMixer), 1u) << "fresh objects read the current state";
    ASSERT_TRUE(SetMixerMute(false));
    ReleaseAudioObjects();
}

}  // namespace
