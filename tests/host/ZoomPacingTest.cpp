#include <gtest/gtest.h>

#include "ZoomPacing.h"

namespace {

constexpr std::uint64_t kStep = 300;  // the longest zoom sequence

// Plays the waiting reports as the agent does, one step after another from now; the
// reports of arrivals come in at their times meanwhile. Returns how many zoomed.
int Play(ZoomPacing& pacing, std::uint64_t now, const std::vector<std::uint64_t>& arrivals) {
    std::size_t next = 0;
    int zoomed = 0;
    const auto arriveUntil = [&](std::uint64_t time) {
        for (; next < arrivals.size() && arrivals[next] <= time; ++next)
            pacing.Arrived(ZoomDirection::In, arrivals[next]);
    };
    for (;;) {
        arriveUntil(now);
        if (pacing.Empty()) {
            if (next == arrivals.size()) return zoomed;
            now = arrivals[next];
            continue;
        }
        if (pacing.Next(now)) {
            ++zoomed;
            now += kStep;
        }
    }
}

TEST(ZoomPacing, PressesAUserMakesOneAfterAnotherAllZoom) {
    // Five presses 200 ms apart: each waits behind the step before it, none for long.
    ZoomPacing pacing;
    EXPECT_EQ(Play(pacing, 5000, {5000, 5200, 5400, 5600, 5800}), 5);
    // Far apart, every press zooms however many there are.
    std::vector<std::uint64_t> apart;
    for (int i = 0; i < 20; ++i) apart.push_back(10000 + i * 500);
    EXPECT_EQ(Play(pacing, 10000, apart), 20);
}

TEST(ZoomPacing, ABacklogZoomsOnlyWhileItsReportsAreUnderASecondOld) {
    ZoomPacing pacing;
    const std::vector<std::uint64_t> atOnce(50, 1000);
    // Steps start at 0, 300, 600 and 900 ms after the reports came; the rest are stale.
    EXPECT_EQ(Play(pacing, 1000, atOnce), static_cast<int>(ZoomPacing::kStaleMs / kStep) + 1);
    EXPECT_TRUE(pacing.Empty());
    // The backlog is gone; the next press zooms at once.
    EXPECT_EQ(Play(pacing, 9000, {9000}), 1);
}

TEST(ZoomPacing, KeepsTheDirectionOfEachReportAndBoundsTheBacklog) {
    ZoomPacing pacing;
    ASSERT_TRUE(pacing.Arrived(ZoomDirection::In, 0));
    ASSERT_TRUE(pacing.Arrived(ZoomDirection::Out, 0));
    EXPECT_EQ(pacing.Next(10), ZoomDirection::In);
    EXPECT_EQ(pacing.Next(20), ZoomDirection::Out);
    EXPECT_EQ(pacing.Next(30), std::nullopt);

    for (std::size_t i = 0; i < ZoomPacing::kCapacity; ++i) ASSERT_TRUE(pacing.Arrived(ZoomDirection::In, 0));
    EXPECT_FALSE(pacing.Arrived(ZoomDirection::Out, 0)) << "a flood does not grow the backlog without end";
}

}  // namespace
