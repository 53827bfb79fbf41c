#include <gtest/gtest.h>

#include "DeviceIdList.h"

namespace {

MonitorReaction Open(DeviceIdList& ids, std::uint32_t id) { return ApplyMonitorEvent(ids, {true, id}); }
MonitorReaction Close(DeviceIdList& ids, std::uint32_t id) { return ApplyMonitorEvent(ids, {false, id}); }

TEST(DeviceIdList, TheMainCollectionArrivesWithAnEvenNonZeroIdentifier) {
    DeviceIdList ids;
    EXPECT_TRUE(Open(ids, 2).MainDeviceArrived);
    const MonitorReaction second = Open(ids, 3);
    EXPECT_FALSE(second.MainDeviceArrived);
    EXPECT_FALSE(second.LinkLost);
    EXPECT_FALSE(second.CloseNotifyHost);
    EXPECT_EQ(ids.Ids(), (std::vector<std::uint32_t>{2, 3}));
    EXPECT_EQ(ids.WriteTarget(), 3u);

    DeviceIdList zero;
    EXPECT_FALSE(Open(zero, 0).MainDeviceArrived) << "identifier 0 is listed but starts nothing";
    EXPECT_EQ(zero.Count(), 1u);
}

TEST(DeviceIdList, ForgedOpensStopAtTheBoundAndKeepTheMouseAsWriteTarget) {
    DeviceIdList ids;
    Open(ids, 2);
    Open(ids, 3);
    for (std::uint32_t id = 100; id < 100 + 1000; ++id) Open(ids, id);
    EXPECT_EQ(ids.Count(), DeviceIdList::kMaxIds);
    EXPECT_EQ(ids.WriteTarget(), 3u);

    // Room again once some leave.
    Close(ids, 100);
    Open(ids, 7);
    EXPECT_EQ(ids.Ids().back(), 7u);
    EXPECT_EQ(ids.Count(), DeviceIdList::kMaxIds);
}

TEST(DeviceIdList, OnlyTheLastEvenCloseClosesTheTrayCompanion) {
    DeviceIdList ids;
    Open(ids, 2);
    Open(ids, 3);
    const MonitorReaction odd = Close(ids, 3);
    EXPECT_FALSE(odd.CloseNotifyHost);
    EXPECT_FALSE(odd.LinkLost);
    EXPECT_EQ(ids.Ids(), (std::vector<std::uint32_t>{2}));
    EXPECT_FALSE(ids.WriteTarget());

    const MonitorReaction last = Close(ids, 2);
    EXPECT_TRUE(last.CloseNotifyHost);
    EXPECT_FALSE(last.LinkLost);
    EXPECT_TRUE(ids.Empty());
}

TEST(DeviceIdList, AnEvenCloseWhileOthersRemainKeepsTheTrayCompanion) {
    DeviceIdList ids;
    Open(ids, 2);
    Open(ids, 3);
    EXPECT_FALSE(Close(ids, 2).CloseNotifyHost);
    // The odd one leaving last never closes it either.
    EXPECT_FALSE(Close(ids, 3).CloseNotifyHost);
}

TEST(DeviceIdList, ACloseForAnUnknownIdentifierMarksTheLinkLost) {
    DeviceIdList ids;
    const MonitorReaction unknownEven = Close(ids, 4);
    EXPECT_TRUE(unknownEven.LinkLost);
    EXPECT_TRUE(unknownEven.CloseNotifyHost) << "even, and the list is empty";

    Open(ids, 2);
    const MonitorReaction unknownOdd = Close(ids, 5);
    EXPECT_TRUE(unknownOdd.LinkLost);
    EXPECT_FALSE(unknownOdd.CloseNotifyHost);
    EXPECT_EQ(ids.Count(), 1u);

    DeviceIdList zero;
    EXPECT_TRUE(Close(zero, 0).CloseNotifyHost) << "0 counts as even on close";
}

TEST(DeviceIdList, AnIdentifierOpenedTwiceIsListedTwiceAndClosedOnceAtATime) {
    DeviceIdList ids;
    Open(ids, 2);
    Open(ids, 3);
    Open(ids, 2);
    EXPECT_EQ(ids.Ids(), (std::vector<std::uint32_t>{2, 3, 2}));
    Close(ids, 2);
    EXPECT_EQ(ids.Ids(), (std::vector<std::uint32_t>{3, 2}));
}

TEST(DeviceIdList, OnlyMonitorEventsAreDecoded) {
    const auto open = DecodeMonitorMessage(1, (2 << 16) | 1);
    ASSERT_TRUE(open);
    EXPECT_TRUE(open->Opened);
    EXPECT_EQ(open->DeviceId, 2u);
    const auto close = DecodeMonitorMessage(1, (0xFFFE << 16) | 0);
    ASSERT_TRUE(close);
    EXPECT_FALSE(close->Opened);
    EXPECT_EQ(close->DeviceId, 0xFFFEu);
    EXPECT_FALSE(DecodeMonitorMessage(0, (2 << 16) | 1));
    EXPECT_FALSE(DecodeMonitorMessage(2, (2 << 16) | 1));
    EXPECT_FALSE(DecodeMonitorMessage(1, (2 << 16) | 2));
}

}  // namespace
