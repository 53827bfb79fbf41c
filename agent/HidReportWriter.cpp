#include "HidReportWriter.h"

#include <timeapi.h>

#include <string>

#include "SystemError.h"
#include "SystemImports.h"

HidReportWriter::HidReportWriter(const HidDeviceLibrary& library)
    : library_(library), fineTimer_(system_imports::TimeBeginPeriod(1) == TIMERR_NOERROR) {}

HidReportWriter::~HidReportWriter() {
    if (fineTimer_) system_imports::TimeEndPeriod(1);
}

bool HidReportWriter::WriteReport(std::uint32_t deviceId, const OutputReport& report) {
    if (library_.WriteReport(deviceId, report.data(), static_cast<std::uint32_t>(report.size())) != 0) return true;
    // The library leaves the reason as the thread's last error.
    const DWORD error = GetLastError();
    TraceSystemError(L"WriteReport", L"to device " + std::to_wstring(deviceId), error);
    return false;
}

void HidReportWriter::Pause(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }
