#pragma once
// How the simulated mouse answers the agent's device filter, and how a filter reads in
// the log.
#include <cstdint>
#include <string>

#include "HidDeviceContract.h"

namespace simmouse {

// The mouse is seen only through a filter naming its vendor, its product and its
// vendor-defined collection (usage 1 on page 0xFF00).
bool FilterSelectsMouse(const hid::DeviceFilter& filter, std::uint32_t vendorId, std::uint32_t productId);

// "vendor=3e71 product=0143 pairs=1:ff00,1:000c"; "null" for no filter.
std::string DescribeFilter(const hid::DeviceFilter* filter);

}  // namespace simmouse
