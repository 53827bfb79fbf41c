#pragma once
// The master mute state through the Core Audio endpoint volume (Windows Vista and later).
class CVistaAudioControl {
public:
    virtual ~CVistaAudioControl() = default;

    // The default render endpoint's mute state, also written to out; -1 when it cannot be
    // read, leaving out as it was.
    int GetMute(int* out);
};
