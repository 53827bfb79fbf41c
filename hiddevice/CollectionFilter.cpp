#include "CollectionFilter.h"

#include <algorithm>

namespace hiddevice {

CollectionFilter::CollectionFilter(const hid::DeviceFilter& filter)
    : vendorId_(filter.VendorId),
      productId_(filter.ProductId),
      pairs_(filter.Pairs, filter.Pairs + std::min(filter.PairCount, hid::kMaxUsagePairs)) {}

std::optional<std::size_t> CollectionFilter::MatchingPair(const CollectionAttributes& collection) const {
    if (collection.VendorId != vendorId_ || collection.ProductId != productId_) return std::nullopt;
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        if (pairs_[i].Usage == collection.Usage && pairs_[i].UsagePage == collection.UsagePage) return i;
    }
    return std::nullopt;
}

}  // namespace hiddevice
