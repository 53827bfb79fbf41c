#include <gtest/gtest.h>

#include <vector>

#include "HidDeviceContract.h"
#include "ReportQueue.h"

namespace {

using hiddevice::ReportQueue;
using Bytes = std::vector<std::uint8_t>;

TEST(ReportQueue, ShortReportsArePaddedAndKeepTheirLength) {
    ReportQueue queue(8);
    queue.Push(3, Bytes{3, 0x20, 0});
    queue.Push(2, Bytes(20, 0xAB));
    const auto shortReport = queue.Pop();
    ASSERT_TRUE(shortReport);
    EXPECT_EQ(shortReport->DeviceId, 3);
    EXPECT_EQ(shortReport->Length, 3u);
    EXPECT_EQ(shortReport->Bytes, (Bytes{3, 0x20, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(shortReport->Bytes.size(), hid::kMinInputBuffer);

    const auto longReport = queue.Pop();
    ASSERT_TRUE(longReport);
    EXPECT_EQ(longReport->Length, 20u);
    EXPECT_EQ(longReport->Bytes, Bytes(20, 0xAB));

    queue.Push(3, {});
    EXPECT_EQ(queue.Pop()->Bytes.size(), hid::kMinInputBuffer) << "even an empty report gives nine bytes";
}

TEST(ReportQueue, TheConsumerIsWokenOncePerDrainedBatch) {
    ReportQueue queue(8);
    EXPECT_EQ(queue.Push(2, Bytes{1}), ReportQueue::Pushed::QueuedWakeConsumer);
    EXPECT_EQ(queue.Push(2, Bytes{2}), ReportQueue::Pushed::Queued);
    EXPECT_TRUE(queue.Pop());
    EXPECT_EQ(queue.Push(2, Bytes{3}), ReportQueue::Pushed::Queued) << "the consumer has not drained yet";
    EXPECT_TRUE(queue.Pop());
    EXPECT_TRUE(queue.Pop());
    EXPECT_FALSE(queue.Pop());
    EXPECT_EQ(queue.Push(2, Bytes{4}), ReportQueue::Pushed::QueuedWakeConsumer);

    queue.WakeLost();
    EXPECT_EQ(queue.Push(2, Bytes{5}), ReportQueue::Pushed::QueuedWakeConsumer) << "a lost wake-up is asked for again";
}

TEST(ReportQueue, AFloodIsBoundedAndKeepsTheOldestReports) {
    ReportQueue queue(4);
    for (std::uint8_t i = 0; i < 100; ++i) queue.Push(2, Bytes{i});
    EXPECT_EQ(queue.Push(2, Bytes{200}), ReportQueue::Pushed::Dropped);
    for (std::uint8_t i = 0; i < 4; ++i) EXPECT_EQ(queue.Pop()->Bytes[0], i);
    EXPECT_FALSE(queue.Pop());
    EXPECT_NE(queue.Push(2, Bytes{7}), ReportQueue::Pushed::Dropped) << "room again once drained";
}

TEST(ReportQueue, DiscardForgetsOnlyThatCollection) {
    ReportQueue queue(8);
    queue.Push(2, Bytes{1});
    queue.Push(3, Bytes{2});
    queue.Push(2, Bytes{3});
    queue.Discard(2);
    const auto left = queue.Pop();
    ASSERT_TRUE(left);
    EXPECT_EQ(left->DeviceId, 3);
    EXPECT_FALSE(queue.Pop());

    queue.Push(3, Bytes{4});
    queue.Clear();
    EXPECT_FALSE(queue.Pop());
    EXPECT_EQ(queue.Push(3, Bytes{5}), ReportQueue::Pushed::QueuedWakeConsumer);
}

}  // namespace
