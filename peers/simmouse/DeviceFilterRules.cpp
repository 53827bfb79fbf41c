#include "DeviceFilterRules.h"

#include <algorithm>
#include <cstdio>

namespace simmouse {

namespace {

constexpr hid::UsagePair kVendorCollection = {1, 0xFF00};

// Never trust the count beyond the array it describes.
std::uint32_t UsablePairCount(const hid::DeviceFilter& filter) { return std::min(filter.PairCount, hid::kMaxUsagePairs); }

}  // namespace

bool FilterSelectsMouse(const hid::DeviceFilter& filter, std::uint32_t vendorId, std::uint32_t productId) {
    if (filter.VendorId != vendorId || filter.ProductId != productId) return false;
    const hid::UsagePair* end = filter.Pairs + UsablePairCount(filter);
    return std::any_of(filter.Pairs, end, [](const hid::UsagePair& pair) {
        return pair.Usage == kVendorCollection.Usage && pair.UsagePage == kVendorCollection.UsagePage;
    });
}

std::string DescribeFilter(const hid::DeviceFilter* filter) {
    if (!filter) return "null";
    char text[64];
    std::snprintf(text, sizeof text, "vendor=%04x product=%04x pairs=", static_cast<unsigned>(filter->VendorId),
                  static_cast<unsigned>(filter->ProductId));
    std::string description = text;
    for (std::uint32_t i = 0; i < UsablePairCount(*filter); ++i) {
        std::snprintf(text, sizeof text, "%s%x:%04x", i ? "," : "", static_cast<unsigned>(filter->Pairs[i].Usage),
                      static_cast<unsigned>(filter->Pairs[i].UsagePage));
        description += text;
    }
    if (UsablePairCount(*filter) == 0) description += "none";
    return description;
}

}  // namespace simmouse
