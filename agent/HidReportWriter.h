#pragma once
// Uploads reach the mouse through HidDevice.dll. The pauses between reports are the
// mouse's time to store them, so they are kept close to what was asked: the system
// timer runs at 1 ms while a writer exists, where a plain Sleep(10) would last a whole
// 15.6 ms tick.
#include "HidDeviceLibrary.h"
#include "SettingsUpload.h"

class HidReportWriter : public DeviceReportWriter {
public:
    explicit HidReportWriter(const HidDeviceLibrary& library);
    ~HidReportWriter() override;
    HidReportWriter(const HidReportWriter&) = delete;
    HidReportWriter& operator=(const HidReportWriter&) = delete;

    bool WriteReport(std::uint32_t deviceId, const OutputReport& report) override;
    void Pause(int milliseconds) override;

private:
    const HidDeviceLibrary& library_;
    bool fineTimer_ = false;
};
