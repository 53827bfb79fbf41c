#include "DeviceFilterRules.h"

#include <gtest/gtest.h>

namespace simmouse {
namespace {

constexpr std::uint32_t kVendor = 0x3E71;

TEST(DeviceFilterRules, AgentsFilterSelectsTheMouse) {
    EXPECT_TRUE(FilterSelectsMouse(hid::MakeMouseFilter(kVendor), kVendor, hid::kProductId));
}

TEST(DeviceFilterRules, OtherVendorOrProductSeesNoMouse) {
    EXPECT_FALSE(FilterSelectsMouse(hid::MakeMouseFilter(0x1234), kVendor, hid::kProductId));
    hid::DeviceFilter filter = hid::MakeMouseFilter(kVendor);
    filter.ProductId = 0x0144;
    EXPECT_FALSE(FilterSelectsMouse(filter, kVendor, hid::kProductId));
}

TEST(DeviceFilterRules, VendorCollectionMustBeAmongTheCountedPairs) {
    hid::DeviceFilter filter = hid::MakeMouseFilter(kVendor);
    filter.Pairs[0] = {1, 0x000C};
    filter.Pairs[1] = {1, 0xFF00};
    EXPECT_TRUE(FilterSelectsMouse(filter, kVendor, hid::kProductId));
    filter.PairCount = 1;  // the vendor pair is past the count
    EXPECT_FALSE(FilterSelectsMouse(filter, kVendor, hid::kProductId));
    filter.PairCount = 2;
    filter.Pairs[1] = {2, 0xFF00};
    EXPECT_FALSE(FilterSelectsMouse(filter, kVendor, hid::kProductId));
}

TEST(DeviceFilterRules, OversizedPairCountStaysInsideTheArray) {
    hid::DeviceFilter filter = hid::MakeMouseFilter(kVendor);
    filter.PairCount = 0xFFFFFFFF;
    EXPECT_TRUE(FilterSelectsMouse(filter, kVendor, hid::kProductId));
    const std::string text = DescribeFilter(&filter);
    EXPECT_EQ(std::count(text.begin(), text.end(), ':'), static_cast<long>(hid::kMaxUsagePairs));
}

TEST(DeviceFilterRules, DescriptionListsVendorProductAndPairs) {
    const hid::DeviceFilter filter = hid::MakeMouseFilter(kVendor);
    EXPECT_EQ(DescribeFilter(&filter), "vendor=3e71 product=0143 pairs=1:ff00,1:000c");
    EXPECT_EQ(DescribeFilter(nullptr), "null");
}

}  // namespace
}  // namespace simmouse
