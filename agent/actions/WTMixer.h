#pragma once
// The master mute state through the waveform-audio mixer's speakers line (Windows before
// Vista). The other controls of the line are read once and cached.
#include <windows.h>
#include <mmsystem.h>

class CWTMixer {
public:
    explicit CWTMixer(HWND notifyWindow);
    virtual ~CWTMixer();
    CWTMixer(const CWTMixer&) = delete;
    CWTMixer& operator=(const CWTMixer&) = delete;

    // Opens the first mixer with a speakers line, closing the one held before: 0, -1
    // when there is no mixer, else the last mixer error.
    MMRESULT OpenSpeakersLine();
    // Reads the mute control again; the cached value (0 if it was never read).
    DWORD GetMute();

    bool IsOpen() const { return mixer_ != nullptr; }

private:
    enum Control { kOnOff, kBass, kTreble, kVolume, kMute, kPeakMeter, kControlCount };

    // The one control of the given type on a line, into record.
    MMRESULT FindLineControl(DWORD lineId, DWORD controlType, MIXERCONTROLW& record);
    // One channel's 32-bit value of a control.
    MMRESULT ReadControlValue(DWORD controlId, DWORD flags, DWORD& value);
    MMRESULT ReadSpeakersControl(Control control, DWORD controlType);
    void ReadPeakMeter();
    void Close();

    DWORD controlIds_[kControlCount] = {};
    HMIXER mixer_ = nullptr;
    DWORD values_[kControlCount] = {};
    DWORD speakersLineId_ = 0;
    UINT deviceCount_ = 0;
    bool valid_[kControlCount] = {};
    HWND notifyWindow_;
};
