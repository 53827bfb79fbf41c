#include <gtest/gtest.h>

#include "CollectionFilter.h"

namespace {

using hiddevice::CollectionAttributes;
using hiddevice::CollectionFilter;

constexpr std::uint32_t kVendor = 0x1234;

TEST(CollectionFilter, SelectsTheFiltersDeviceByPairInFilterOrder) {
    const CollectionFilter filter(hid::MakeMouseFilter(kVendor));
    EXPECT_EQ(filter.MatchingPair({kVendor, hid::kProductId, 1, 0xFF00}), 0u);
    EXPECT_EQ(filter.MatchingPair({kVendor, hid::kProductId, 1, 0x000C}), 1u);

    EXPECT_FALSE(filter.MatchingPair({kVendor, hid::kProductId, 2, 0x0001})) << "the mouse's pointer collection";
    EXPECT_FALSE(filter.MatchingPair({kVendor + 1, hid::kProductId, 1, 0xFF00})) << "another vendor";
    EXPECT_FALSE(filter.MatchingPair({kVendor, hid::kProductId + 1, 1, 0xFF00})) << "another product";
    EXPECT_FALSE(filter.MatchingPair({kVendor, hid::kProductId, 0xFF00, 1})) << "usage and page swapped";
}

TEST(CollectionFilter, OnlyTheCountedPairsTakePart) {
    hid::DeviceFilter raw = hid::MakeMouseFilter(kVendor);
    const CollectionAttributes zeroPair{kVendor, hid::kProductId, 0, 0};
    EXPECT_FALSE(CollectionFilter(raw).MatchingPair(zeroPair)) << "the unused, zeroed pairs match nothing";

    raw.PairCount = 1;
    EXPECT_FALSE(CollectionFilter(raw).MatchingPair({kVendor, hid::kProductId, 1, 0x000C}));

    raw.PairCount = 0;
    EXPECT_FALSE(CollectionFilter(raw).MatchingPair({kVendor, hid::kProductId, 1, 0xFF00}));

    EXPECT_FALSE(CollectionFilter().MatchingPair({0, 0, 0, 0})) << "no filter selects nothing";
}

TEST(CollectionFilter, APairCountBeyondTheArrayIsCutToIt) {
    hid::DeviceFilter raw = hid::MakeMouseFilter(kVendor);
    raw.Pairs[hid::kMaxUsagePairs - 1] = {6, 0x0001};
    raw.PairCount = 0xFFFFFFFF;
    const CollectionFilter filter(raw);
    EXPECT_EQ(filter.MatchingPair({kVendor, hid::kProductId, 6, 0x0001}), hid::kMaxUsagePairs - 1);
    EXPECT_EQ(filter.MatchingPair({kVendor, hid::kProductId, 0, 0}), 2u) << "the zeroed pairs now count";
}

}  // namespace
