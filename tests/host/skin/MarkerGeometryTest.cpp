#include <gtest/gtest.h>

#include <climits>

#include "MarkerGeometry.h"

namespace {

TEST(MarkerGeometry, PositionsOutsideTheRangeFallToTheMinimumNotTheNearerEnd) {
    EXPECT_EQ(PositionOrMinimum(50, 0, 100), 50);
    EXPECT_EQ(PositionOrMinimum(0, 0, 100), 0);
    EXPECT_EQ(PositionOrMinimum(100, 0, 100), 100);
    EXPECT_EQ(PositionOrMinimum(101, 0, 100), 0);
    EXPECT_EQ(PositionOrMinimum(-1, 0, 100), 0);
    EXPECT_EQ(PositionOrMinimum(25, 10, 20), 10);
}

TEST(MarkerGeometry, FillCoversTheShareOfTheWidthRoundedDown) {
    EXPECT_EQ(FillWidth(200, 33, 0, 100), 66);
    EXPECT_EQ(FillWidth(200, 50, 0, 100), 100);
    EXPECT_EQ(FillWidth(200, 100, 0, 100), 200);
    EXPECT_EQ(FillWidth(200, 0, 0, 100), 0);
    EXPECT_EQ(FillWidth(360, 7, 0, 10), 252);
    EXPECT_EQ(FillWidth(3, 1, 0, 2), 1);
    // Products beyond 32 bits.
    EXPECT_EQ(FillWidth(1000, INT_MAX / 2, 0, INT_MAX), 499);
}

TEST(MarkerGeometry, DegenerateBarsFillNothingInsteadOfDividingByZero) {
    EXPECT_EQ(FillWidth(0, 50, 0, 100), 0);
    EXPECT_EQ(FillWidth(200, 5, 5, 5), 0);
    EXPECT_EQ(FillWidth(200, 5, 10, 0), 0);
    EXPECT_EQ(PositionAtX(30, 40, 40, 0, 100), 0);
    EXPECT_EQ(PositionAtX(30, 0, 200, 7, 7), 7);
}

TEST(MarkerGeometry, FillNeverLeavesTheBarWhenThePositionLeftANarrowedRange) {
    // The range was narrowed after the position was set.
    EXPECT_EQ(FillWidth(200, 50, 0, 10), 200);
    EXPECT_EQ(FillWidth(200, -5, 0, 10), 0);
}

TEST(MarkerGeometry, PointMapsToThePositionUnderItWithinTheRange) {
    EXPECT_EQ(PositionAtX(100, 0, 200, 0, 100), 50);
    EXPECT_EQ(PositionAtX(101, 0, 200, 0, 100), 50);
    EXPECT_EQ(PositionAtX(-30, 0, 200, 0, 100), 0);
    EXPECT_EQ(PositionAtX(500, 0, 200, 0, 100), 100);
    EXPECT_EQ(PositionAtX(60, 10, 110, 0, 10), 5);
    EXPECT_EQ(PositionAtX(60, 10, 110, -10, 10), 0);
}

}  // namespace
