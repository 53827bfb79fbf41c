#include <gtest/gtest.h>

#include "PointerProfile.h"
#include "actions/PointerValues.h"

namespace {

TEST(PointerValues, DoubleClickLiveAndRegistryFormulasDifferByOneStep) {
    const int live[] = {900, 830, 760, 690, 620, 550, 480, 410, 340, 270, 200};
    for (int n = 0; n <= 10; ++n) {
        const ProfileSettings p = PointerProfile(n, 5, 3, 0, 0);
        EXPECT_EQ(pointer::LiveDoubleClickTime(p), live[n]);
        EXPECT_EQ(pointer::RegistryDoubleClickSpeed(p), live[n] + 70);
    }
}

TEST(PointerValues, PointerSpeedSpansTheSystemRange) {
    EXPECT_EQ(pointer::PointerSpeed(PointerProfile(5, 1, 3, 0, 0)), 2);
    EXPECT_EQ(pointer::PointerSpeed(PointerProfile(5, 10, 3, 0, 0)), 20);
}

TEST(PointerValues, UniversalScrollingScrollsAPageAndIgnoresTheLineCount) {
    EXPECT_EQ(pointer::LiveWheelScrollLines(PointerProfile(5, 5, 7, 1, 0)), 0xFFFFFFFFu);
    EXPECT_EQ(pointer::RegistryWheelScrollLines(PointerProfile(5, 5, 7, 1, 0)), -1);
    EXPECT_EQ(pointer::LiveWheelScrollLines(PointerProfile(5, 5, 7, 0, 0)), 7u);
    EXPECT_EQ(pointer::RegistryWheelScrollLines(PointerProfile(5, 5, 7, 0, 0)), 7);
}

TEST(PointerValues, RegistryAccelerationIsTheStandardTripleOrZeros) {
    const auto on = pointer::RegistryAcceleration(PointerProfile(5, 5, 3, 0, 1));
    EXPECT_EQ(on.MouseSpeed, 1);
    EXPECT_EQ(on.Threshold1, 6);
    EXPECT_EQ(on.Threshold2, 10);
    const auto off = pointer::RegistryAcceleration(PointerProfile(5, 5, 3, 0, 0));
    EXPECT_EQ(off.MouseSpeed + off.Threshold1 + off.Threshold2, 0);
}

TEST(PointerValues, LiveAccelerationOffForcesANonZeroRegistryTripleToZero) {
    const auto forced = pointer::PlanLiveAcceleration(PointerProfile(5, 5, 3, 0, 0), 1, 10, 6);
    EXPECT_TRUE(forced.WriteZeros);
    EXPECT_EQ(forced.MouseParams, (std::array<int, 3>{0, 0, 0}));

    const auto alreadyZero = pointer::PlanLiveAcceleration(PointerProfile(5, 5, 3, 0, 0), 0, 0, 0);
    EXPECT_FALSE(alreadyZero.WriteZeros);
    EXPECT_EQ(alreadyZero.MouseParams, (std::array<int, 3>{0, 0, 0}));
}

TEST(PointerValues, LiveAccelerationOnAppliesTheRegistryTripleInThresholdOrder) {
    const auto on = pointer::PlanLiveAcceleration(PointerProfile(5, 5, 3, 0, 1), 1, 10, 6);
    EXPECT_FALSE(on.WriteZeros);
    EXPECT_EQ(on.MouseParams, (std::array<int, 3>{6, 10, 1}));
    // Zeros left by an earlier profile stay: acceleration comes back only when something
    // rewrites the registry.
    EXPECT_EQ(pointer::PlanLiveAcceleration(PointerProfile(5, 5, 3, 0, 1), 0, 0, 0).MouseParams, (std::array<int, 3>{0, 0, 0}));
    // Only exactly 1 counts as on here.
    EXPECT_TRUE(pointer::PlanLiveAcceleration(PointerProfile(5, 5, 3, 0, 2), 1, 10, 6).WriteZeros);
}

TEST(PointerValues, RegistryTextsThatAreNoNumberReadAsZero) {
    EXPECT_EQ(pointer::RegistryInt(L"10"), 10);
    EXPECT_EQ(pointer::RegistryInt(L" 6"), 6);
    EXPECT_EQ(pointer::RegistryInt(L"fast"), 0);
    EXPECT_EQ(pointer::RegistryInt(L""), 0);
}

TEST(PointerValues, WindowsVersionClasses) {
    struct Case {
        std::uint32_t Platform, Major, Minor;
        int Class;
    };
    const Case cases[] = {
        {1, 4, 0, 1},  {1, 4, 10, 1}, {1, 4, 90, 2}, {1, 5, 0, 0},  {2, 4, 0, 0},  {2, 5, 0, 3},
        {2, 5, 1, 4},  {2, 5, 2, 4},  {2, 6, 0, 5},  {2, 6, 1, 5},  {2, 10, 0, 5}, {0, 6, 1, 0}, {3, 10, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pointer::ClassifyWindowsVersion(c.Platform, c.Major, c.Minor), c.Class)
            << c.Platform << " " << c.Major << "." << c.Minor;
    }
}

}  // namespace
