#include "WTMixer.h"

#include "SystemImports.h"

CWTMixer::CWTMixer(HWND notifyWindow) : notifyWindow_(notifyWindow) {
    deviceCount_ = system_imports::MixerGetNumDevs();
    if (deviceCount_ == 0 || OpenSpeakersLine() != MMSYSERR_NOERROR) return;
    ReadSpeakersControl(kOnOff, MIXERCONTROL_CONTROLTYPE_ONOFF);
    ReadSpeakersControl(kBass, MIXERCONTROL_CONTROLTYPE_BASS);
    ReadSpeakersControl(kMute, MIXERCONTROL_CONTROLTYPE_MUTE);
    ReadSpeakersControl(kTreble, MIXERCONTROL_CONTROLTYPE_TREBLE);
    ReadSpeakersControl(kVolume, MIXERCONTROL_CONTROLTYPE_VOLUME);
    ReadPeakMeter();
}

CWTMixer::~CWTMixer() { Close(); }

void CWTMixer::Close() {
    if (mixer_) system_imports::MixerClose(mixer_);
    mixer_ = nullptr;
}

MMRESULT CWTMixer::OpenSpeakersLine() {
    const UINT count = system_imports::MixerGetNumDevs();
    if (count == 0) return static_cast<MMRESULT>(-1);
    // Never more than one handle, however often the line is opened.
    Close();
    MMRESULT result = MMSYSERR_NODRIVER;
    for (UINT device = 0; device < count; ++device) {
        result =
            system_imports::MixerOpen(&mixer_, device, reinterpret_cast<DWORD_PTR>(notifyWindow_), 0, CALLBACK_WINDOW);
        if (result != MMSYSERR_NOERROR) {
            mixer_ = nullptr;
            continue;
        }
        MIXERLINEW line{};
        line.cbStruct = sizeof(line);
        line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
        result = system_imports::MixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer_), &line,
                                                   MIXER_GETLINEINFOF_COMPONENTTYPE);
        if (result == MMSYSERR_NOERROR) {
            speakersLineId_ = line.dwLineID;
            return MMSYSERR_NOERROR;
        }
        Close();
    }
    return result;
}

MMRESULT CWTMixer::FindLineControl(DWORD lineId, DWORD controlType, MIXERCONTROLW& record) {
    record = {};
    record.cbStruct = sizeof(record);
    MIXERLINECONTROLSW request{};
    request.cbStruct = sizeof(request);
    request.dwLineID = lineId;
    request.dwControlType = controlType;
    request.cControls = 1;
    request.cbmxctrl = sizeof(record);
    request.pamxctrl = &record;
    return system_imports::MixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer_), &request,
                                                 MIXER_GETLINECONTROLSF_ONEBYTYPE);
}

MMRESULT CWTMixer::ReadControlValue(DWORD controlId, DWORD flags, DWORD& value) {
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof(details);
    details.dwControlID = controlId;
    details.cChannels = 1;
    details.cbDetails = sizeof(value);
    details.paDetails = &value;
    return system_imports::MixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(mixer_), &details, flags);
}

MMRESULT CWTMixer::ReadSpeakersControl(Control control, DWORD controlType) {
    MIXERCONTROLW record;
    MMRESULT result = FindLineControl(speakersLineId_, controlType, record);
    if (result != MMSYSERR_NOERROR) return result;

    controlIds_[control] = record.dwControlID;
    DWORD value = 0;
    result = ReadControlValue(record.dwControlID, MIXER_GETCONTROLDETAILSF_VALUE, value);
    if (result == MMSYSERR_NOERROR) {
        values_[control] = value;
        valid_[control] = true;
    }
    return result;
}

// Cached like the rest but never used, so the results of its two lookups go unchecked.
void CWTMixer::ReadPeakMeter() {
    MIXERLINEW line{};
    line.cbStruct = sizeof(line);
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    system_imports::MixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer_), &line, MIXER_GETLINEINFOF_COMPONENTTYPE);

    MIXERCONTROLW record;
    FindLineControl(line.dwLineID, MIXERCONTROL_CONTROLTYPE_PEAKMETER, record);
    controlIds_[kPeakMeter] = record.dwControlID;

    DWORD value = 0;
    const bool read = ReadControlValue(record.dwControlID, MIXER_OBJECTF_HMIXER, value) == MMSYSERR_NOERROR;
    values_[kPeakMeter] = read ? value : 0;
    valid_[kPeakMeter] = read;
}

DWORD CWTMixer::GetMute() {
    if (mixer_) ReadSpeakersControl(kMute, MIXERCONTROL_CONTROLTYPE_MUTE);
    return values_[kMute];
}
