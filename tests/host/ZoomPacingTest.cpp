#include <gtest/gtest.h>

#include "ZoomPacing.h"

namespace {

constexpr std::uint64_t kStep = 300;  // the longest zoom sequence

TEST(ZoomPacing, SeparatePressesAlwaysZoom) {
    ZoomPacing pacing;
    std::uint64_t now = 5000;
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(pacing.Admit(now)) << i;
        pacing.Ended(now + kStep);
        now += kStep + 200;  // the user presses again a little after each step
    }
}

TEST(ZoomPacing, AQueuedRunZoomsForASecondAndTheRestIsDroppedUntilItDrains) {
    ZoomPacing pacing;
    std::uint64_t now = 1000;
    int stepped = 0;
    // Fifty reports waiting behind each other: each is handled as the last one ends.
    for (int i = 0; i < 50; ++i) {
        const bool admitted = pacing.Admit(now);
        if (admitted) {
            ++stepped;
            now += kStep;
        }
        pacing.Ended(now);
    }
    EXPECT_EQ(stepped, static_cast<int>(ZoomPacing::kStaleMs / kStep) + 1);

    // The queue drained; the next press comes later and zooms again.
    now += 500;
    EXPECT_TRUE(pacing.Admit(now));
}

TEST(ZoomPacing, AReportJustOutsideTheBackToBackGapStartsANewRun) {
    ZoomPacing pacing;
    EXPECT_TRUE(pacing.Admit(0));
    pacing.Ended(2000);
    EXPECT_TRUE(pacing.Admit(2000 + ZoomPacing::kBackToBackMs + 1));
}

}  // namespace
