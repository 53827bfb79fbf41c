#pragma once
// Which HID collections the caller's device filter selects.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "HidDeviceContract.h"

namespace hiddevice {

// What a HID collection tells about itself before it is opened.
struct CollectionAttributes {
    std::uint16_t VendorId = 0;
    std::uint16_t ProductId = 0;
    std::uint16_t Usage = 0;
    std::uint16_t UsagePage = 0;
};

class CollectionFilter {
public:
    // Selects nothing.
    CollectionFilter() = default;
    // A pair count beyond the filter's array is cut to the array.
    explicit CollectionFilter(const hid::DeviceFilter& filter);

    // The index of the first (usage, usage page) pair the collection answers, when its
    // vendor and product are the filter's. Pair 0 names a device's main collection.
    std::optional<std::size_t> MatchingPair(const CollectionAttributes& collection) const;
    std::size_t PairCount() const { return pairs_.size(); }

private:
    std::uint32_t vendorId_ = 0;
    std::uint32_t productId_ = 0;
    std::vector<hid::UsagePair> pairs_;
};

}  // namespace hiddevice
