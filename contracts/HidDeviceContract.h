#pragma once
// What the agent passes to HidDevice.dll and relies on from it. The DLL is imported by
// ordinal only; the HID library and the tests' stand-in implement the same table.
#include <cstdint>

#if defined(_WIN32)
#define TERN7_STDCALL __stdcall
#else
#define TERN7_STDCALL
#endif

namespace hid {

inline constexpr std::uint32_t kProductId = 0x0143;
inline constexpr std::uint32_t kMaxUsagePairs = 10;

struct UsagePair {
    std::uint32_t Usage;
    std::uint32_t UsagePage;
};

// 23 little-endian 32-bit words; unused pairs stay zero.
struct DeviceFilter {
    std::uint32_t VendorId;
    std::uint32_t ProductId;
    std::uint32_t PairCount;
    UsagePair Pairs[kMaxUsagePairs];
};
static_assert(sizeof(DeviceFilter) == 23 * sizeof(std::uint32_t));

// The mouse's collections the agent looks for: vendor-defined, and Consumer Control.
inline constexpr UsagePair kVendorCollection = {1, 0xFF00};
inline constexpr UsagePair kConsumerControlCollection = {1, 0x000C};

inline DeviceFilter MakeMouseFilter(std::uint32_t vendorId) {
    DeviceFilter filter{};
    filter.VendorId = vendorId;
    filter.ProductId = kProductId;
    filter.PairCount = 2;
    filter.Pairs[0] = kVendorCollection;
    filter.Pairs[1] = kConsumerControlCollection;
    return filter;
}

// Ordinals of the exports.
inline constexpr unsigned kOrdinalStartMonitoring = 2;
inline constexpr unsigned kOrdinalStop = 3;
inline constexpr unsigned kOrdinalWriteReport = 5;
inline constexpr unsigned kOrdinalSetFilter = 7;
inline constexpr unsigned kOrdinalSetInputCallback = 8;

// Input reports: report identifier first; the buffer holds at least kMinInputBuffer bytes.
inline constexpr std::uint32_t kMinInputBuffer = 9;
using InputCallback = void(TERN7_STDCALL*)(std::uint32_t deviceId, const std::uint8_t* report, std::uint32_t length);

using StartMonitoringFn = std::int32_t(TERN7_STDCALL*)(void* window, std::uint32_t message);
using StopFn = void(TERN7_STDCALL*)();
using WriteReportFn = std::int32_t(TERN7_STDCALL*)(std::uint32_t deviceId, const std::uint8_t* report,
                                                   std::uint32_t length);
using SetFilterFn = void(TERN7_STDCALL*)(const DeviceFilter* filter);
using SetInputCallbackFn = void(TERN7_STDCALL*)(InputCallback callback);

// Output reports are always this long; byte 0 is the report identifier position.
inline constexpr std::uint32_t kOutputReportLength = 33;

// Posted to the window given to ordinal 2: wParam kMonitorEvent, LOWORD(lParam) 1 open or
// 0 close, HIWORD(lParam) the device identifier.
inline constexpr unsigned kMsgDeviceMonitor = 1282;
inline constexpr std::uintptr_t kMonitorEvent = 1;

inline constexpr std::intptr_t MonitorLParam(bool opened, std::uint16_t deviceId) {
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(deviceId) << 16) | (opened ? 1u : 0u));
}

}  // namespace hid
