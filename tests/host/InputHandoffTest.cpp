#include "InputHandoff.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr std::uint32_t kMinBuffer = 9;

std::array<std::uint8_t, kMinBuffer> Report(std::uint8_t code) { return {3, code, 0, 0, 0, 0, 0, 0, 0xEE}; }

struct WakeCounter {
    int Calls = 0;
    bool Answer = true;
    std::function<bool()> Fn() {
        return [this] {
            ++Calls;
            return Answer;
        };
    }
};

TEST(InputHandoffTest, WakesOncePerBatchAndAgainWhenAWakeUpWasLost) {
    InputHandoff handoff(8, kMinBuffer);
    WakeCounter wake;
    const auto report = Report(0x10);

    wake.Answer = false;  // the post failed
    handoff.Offer(2, report.data(), 3, wake.Fn());
    wake.Answer = true;
    handoff.Offer(2, report.data(), 3, wake.Fn());
    handoff.Offer(2, report.data(), 3, wake.Fn());
    EXPECT_EQ(wake.Calls, 2) << "the lost wake-up is asked again, the pending one is not repeated";

    int taken = 0;
    while (handoff.Take()) ++taken;
    EXPECT_EQ(taken, 3);
    handoff.Offer(2, report.data(), 3, wake.Fn());
    EXPECT_EQ(wake.Calls, 3) << "a drained queue asks for a new wake-up";
}

TEST(InputHandoffTest, KeepsCopiesInOrderUpToItsBoundAndDropsTheRest) {
    InputHandoff handoff(3, kMinBuffer);
    WakeCounter wake;
    for (std::uint8_t code = 1; code <= 5; ++code) {
        auto report = Report(code);
        const auto offered = handoff.Offer(code, report.data(), 3, wake.Fn());
        EXPECT_EQ(offered, code <= 3 ? InputHandoff::Offered::Queued : InputHandoff::Offered::Dropped) << int(code);
        report.fill(0);  // the library reuses its buffer at once
    }
    for (std::uint8_t code = 1; code <= 3; ++code) {
        const auto taken = handoff.Take();
        ASSERT_TRUE(taken);
        EXPECT_EQ(taken->DeviceId, code);
        EXPECT_EQ(taken->Length, 3u);
        const auto expected = Report(code);
        EXPECT_EQ(taken->Bytes, std::vector<std::uint8_t>(expected.begin(), expected.end()))
            << "a short report still carries the library's whole minimum buffer";
    }
    EXPECT_FALSE(handoff.Take());
    EXPECT_EQ(handoff.TakeDropped(), 2u) << "the lost ones are counted for the diagnostic line";
    EXPECT_EQ(handoff.TakeDropped(), 0u);
}

TEST(InputHandoffTest, ClosedRefusesReportsForgetsQueuedOnesAndNeverWakes) {
    InputHandoff handoff(8, kMinBuffer);
    WakeCounter wake;
    const auto report = Report(0xE9);
    handoff.Offer(2, report.data(), 3, wake.Fn());
    handoff.Close();
    EXPECT_FALSE(handoff.Take());
    EXPECT_EQ(handoff.Offer(2, report.data(), 3, wake.Fn()), InputHandoff::Offered::Closed);
    EXPECT_EQ(wake.Calls, 1);

    handoff.Open();
    EXPECT_EQ(handoff.Offer(2, report.data(), 3, wake.Fn()), InputHandoff::Offered::Queued);
    EXPECT_EQ(wake.Calls, 2) << "reopened, the first report wakes the consumer";
}

TEST(InputHandoffTest, NoWakeUpIsSentOnceCloseHasReturned) {
    InputHandoff handoff(4, kMinBuffer);
    std::atomic<bool> closed{false};
    std::atomic<int> lateWakes{0};
    std::atomic<bool> run{true};
    std::vector<std::thread> producers;
    for (int i = 0; i < 3; ++i) {
        producers.emplace_back([&] {
            const auto report = Report(0xE9);
            while (run) {
                handoff.Offer(2, report.data(), 3, [&] {
                    if (closed) ++lateWakes;
                    return true;
                });
                handoff.Take();  // keeps batches short so that wake-ups keep coming
            }
        });
    }
    std::this_thread::yield();
    handoff.Close();
    closed = true;
    for (int i = 0; i < 1000; ++i) std::this_thread::yield();
    run = false;
    for (auto& producer : producers) producer.join();
    EXPECT_EQ(lateWakes, 0);
}

TEST(InputHandoffTest, AcceptsLengthsUpToTheLongestReportOnly) {
    EXPECT_TRUE(AcceptableInputLength(0));
    EXPECT_TRUE(AcceptableInputLength(3));
    EXPECT_TRUE(AcceptableInputLength(kMaxInputReportLength));
    EXPECT_FALSE(AcceptableInputLength(kMaxInputReportLength + 1));
    EXPECT_FALSE(AcceptableInputLength(0xFFFFFFFFu));
}

}  // namespace

namespace {

TEST(InputHandoffTest, AConsumerThatStopsBeforeTheEndIsWokenForTheRestOnly) {
    InputHandoff handoff(8, kMinBuffer);
    WakeCounter wake;
    const auto report = Report(0xE9);
    for (int i = 0; i < 3; ++i) handoff.Offer(2, report.data(), 3, wake.Fn());
    ASSERT_TRUE(handoff.Take());
    handoff.WakeForRest(wake.Fn());
    EXPECT_EQ(wake.Calls, 2) << "two reports still wait";
    handoff.Offer(2, report.data(), 3, wake.Fn());
    EXPECT_EQ(wake.Calls, 2) << "that wake-up is still pending";

    while (handoff.Take()) {
    }
    handoff.WakeForRest(wake.Fn());
    EXPECT_EQ(wake.Calls, 2) << "nothing left, no wake-up";
}

}  // namespace
