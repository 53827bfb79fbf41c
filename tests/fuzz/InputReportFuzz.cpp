// Any input report gives one decision from the first three bytes of a three-byte report 3,
// reads nothing past the nine bytes the device layer guarantees, and decides the same twice.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "FuzzBytes.h"
#include "InputReport.h"

namespace {

constexpr std::size_t kReportBufferBytes = 9;

void Require(bool condition) {
    if (!condition) std::abort();
}

void RequireValueWithin(const DeviceAction& action, int low, int high) {
    Require(action.Value >= low && action.Value <= high);
}

void RequireWellFormed(const DeviceAction& action) {
    switch (action.Kind) {
        case DeviceActionKind::SelectProfile: RequireValueWithin(action, 1, 3); break;
        case DeviceActionKind::SetCpiLevel: RequireValueWithin(action, 1, 4); break;
        case DeviceActionKind::RunProgram: RequireValueWithin(action, 0, 8); break;
        case DeviceActionKind::MediaNotice: RequireValueWithin(action, 1, 5); break;
        case DeviceActionKind::None:
        case DeviceActionKind::ZoomIn:
        case DeviceActionKind::ZoomOut:
        case DeviceActionKind::MuteNotice: RequireValueWithin(action, 0, 0); break;
        default: std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The buffer's bytes, then the report's length; a short input is a report of its size.
    FuzzBytes input(data, size);
    // Exactly the guaranteed buffer on the heap, so that a read past it is caught.
    const auto report = std::make_unique<std::uint8_t[]>(kReportBufferBytes);
    for (std::size_t i = 0; i < kReportBufferBytes; ++i) report[i] = input.Byte();
    const std::uint32_t length = size <= kReportBufferBytes ? static_cast<std::uint32_t>(size) : input.Word();

    const DeviceAction action = DecodeInputReport(report.get(), length);
    RequireWellFormed(action);
    if (action.Kind != DeviceActionKind::None) Require(length == 3 && report[0] == 3);

    // Bytes past the report's own three never change the decision.
    const auto other = std::make_unique<std::uint8_t[]>(kReportBufferBytes);
    std::copy_n(report.get(), 3, other.get());
    for (std::size_t i = 3; i < kReportBufferBytes; ++i) other[i] = static_cast<std::uint8_t>(~report[i]);
    Require(DecodeInputReport(other.get(), length) == action);
    Require(DecodeInputReport(report.get(), length) == action);
    return 0;
}
