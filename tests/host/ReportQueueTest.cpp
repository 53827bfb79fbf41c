#include "ReportQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kMinBuffer = 9;

struct WakeCounter {
    int Calls = 0;
    bool Answer = true;
    ReportQueue::Wake Fn() {
        return [this] {
            ++Calls;
            return Answer;
        };
    }
};

ReportQueue::Offered Offer(ReportQueue& queue, WakeCounter& wake, Bytes bytes, std::uint32_t deviceId = 2) {
    return queue.Offer(deviceId, bytes, static_cast<std::uint32_t>(bytes.size()), wake.Fn());
}

TEST(ReportQueueTest, CopiesReportsPaddedToTheMinimumWithTheLengthTheyWereGiven) {
    ReportQueue queue(8, kMinBuffer);
    WakeCounter wake;
    Bytes buffer{3, 0x20, 0, 0, 0, 0, 0, 0, 0xEE};
    // A library's callback: nine readable bytes, a length of three.
    queue.Offer(3, buffer, 3, wake.Fn());
    buffer.assign(buffer.size(), 0);  // the library reuses its buffer at once
    Offer(queue, wake, Bytes(20, 0xAB));
    Offer(queue, wake, {});

    const auto shortReport = queue.Take();
    ASSERT_TRUE(shortReport);
    EXPECT_EQ(shortReport->DeviceId, 3u);
    EXPECT_EQ(shortReport->Length, 3u);
    EXPECT_EQ(shortReport->Bytes, (Bytes{3, 0x20, 0, 0, 0, 0, 0, 0, 0xEE})) << "the whole minimum buffer, copied";
    EXPECT_EQ(queue.Take()->Bytes, Bytes(20, 0xAB));
    EXPECT_EQ(queue.Take()->Bytes, Bytes(kMinBuffer, 0)) << "even an empty report gives the minimum";
    EXPECT_FALSE(queue.Take());
}

TEST(ReportQueueTest, WakesOncePerBatchAgainWhenAWakeUpWasLostAndForTheRestOnly) {
    ReportQueue queue(8, kMinBuffer);
    WakeCounter wake;
    wake.Answer = false;  // the post failed
    Offer(queue, wake, {1});
    wake.Answer = true;
    Offer(queue, wake, {2});
    Offer(queue, wake, {3});
    EXPECT_EQ(wake.Calls, 2) << "the lost wake-up is asked again, the pending one is not repeated";

    // A consumer that stops before the end is woken for the rest, and only then.
    ASSERT_TRUE(queue.Take());
    queue.WakeForRest(wake.Fn());
    EXPECT_EQ(wake.Calls, 3) << "two reports still wait";
    Offer(queue, wake, {4});
    EXPECT_EQ(wake.Calls, 3) << "that wake-up is still pending";
    while (queue.Take()) {
    }
    queue.WakeForRest(wake.Fn());
    EXPECT_EQ(wake.Calls, 3) << "nothing left, no wake-up";
    Offer(queue, wake, {5});
    EXPECT_EQ(wake.Calls, 4) << "a drained queue asks for a new wake-up";
}

TEST(ReportQueueTest, AFloodIsBoundedKeepsTheOldestAndCountsTheLost) {
    ReportQueue queue(4, kMinBuffer);
    WakeCounter wake;
    for (std::uint8_t i = 0; i < 100; ++i) {
        EXPECT_EQ(Offer(queue, wake, {i}), i < 4 ? ReportQueue::Offered::Queued : ReportQueue::Offered::Dropped)
            << int(i);
    }
    for (std::uint8_t i = 0; i < 4; ++i) EXPECT_EQ(queue.Take()->Bytes[0], i);
    EXPECT_FALSE(queue.Take());
    EXPECT_EQ(queue.TakeDropped(), 96u) << "the lost ones are counted for a diagnostic line";
    EXPECT_EQ(queue.TakeDropped(), 0u);
    EXPECT_EQ(Offer(queue, wake, {7}), ReportQueue::Offered::Queued) << "room again once drained";
}

TEST(ReportQueueTest, DiscardForgetsOnlyThatDevice) {
    ReportQueue queue(8, kMinBuffer);
    WakeCounter wake;
    Offer(queue, wake, {1}, 2);
    Offer(queue, wake, {2}, 3);
    Offer(queue, wake, {3}, 2);
    queue.Discard(2);
    const auto left = queue.Take();
    ASSERT_TRUE(left);
    EXPECT_EQ(left->DeviceId, 3u);
    EXPECT_FALSE(queue.Take());
}

TEST(ReportQueueTest, ClosedRefusesReportsForgetsQueuedOnesAndNeverWakes) {
    ReportQueue queue(8, kMinBuffer);
    WakeCounter wake;
    Offer(queue, wake, {1});
    queue.Close();
    EXPECT_FALSE(queue.Take());
    EXPECT_EQ(Offer(queue, wake, {2}), ReportQueue::Offered::Closed);
    EXPECT_EQ(wake.Calls, 1);

    queue.Open();
    EXPECT_EQ(Offer(queue, wake, {3}), ReportQueue::Offered::Queued);
    EXPECT_EQ(wake.Calls, 2) << "reopened, the first report wakes the consumer";
}

TEST(ReportQueueTest, NoWakeUpIsSentOnceCloseHasReturned) {
    ReportQueue queue(4, kMinBuffer);
    std::atomic<bool> closed{false};
    std::atomic<int> lateWakes{0};
    std::atomic<bool> run{true};
    std::vector<std::thread> producers;
    for (int i = 0; i < 3; ++i) {
        producers.emplace_back([&] {
            const Bytes report{3, 0xE9, 0};
            while (run) {
                queue.Offer(2, report, 3, [&] {
                    if (closed) ++lateWakes;
                    return true;
                });
                queue.Take();  // keeps batches short so that wake-ups keep coming
            }
        });
    }
    std::this_thread::yield();
    queue.Close();
    closed = true;
    for (int i = 0; i < 1000; ++i) std::this_thread::yield();
    run = false;
    for (auto& producer : producers) producer.join();
    EXPECT_EQ(lateWakes, 0);
}

}  // namespace
