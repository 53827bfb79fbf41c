#include "MouseModel.h"

#include <gtest/gtest.h>

#include "MouseReports.h"

namespace simmouse {
namespace {

using testing::EmptyReport;
using testing::GlobalReport;
using testing::HeaderReport;
using testing::PageReport;
using testing::ParameterReport;
using testing::TableWithKeyCode;
using testing::Upload;

using Bytes = std::vector<std::uint8_t>;

MouseModel AttachedMouse() { return MouseModel(0x3E71, true); }

TEST(MouseModelUpload, CompleteUploadStoresHeaderParametersAndTable) {
    MouseModel mouse = AttachedMouse();
    const SlotTable table = TableWithKeyCode(3, 0xE9);
    ASSERT_TRUE(Upload(mouse, 2, table, 0x77));

    ASSERT_TRUE(mouse.Profile(1).has_value());
    EXPECT_FALSE(mouse.Profile(0).has_value());
    EXPECT_FALSE(mouse.Profile(2).has_value());
    EXPECT_EQ(mouse.Profile(1)->header, HeaderReport(2));
    EXPECT_EQ(mouse.Profile(1)->parameters, ParameterReport(0x77));
    EXPECT_EQ(mouse.Profile(1)->slots, table);
    EXPECT_FALSE(mouse.UploadInProgress());
}

TEST(MouseModelUpload, ProfileIsNotStoredBeforeTheLastPage) {
    MouseModel mouse = AttachedMouse();
    const SlotTable table = TableWithKeyCode(0, 0x10);
    mouse.Write(kSecondCollection, HeaderReport(1));
    mouse.Write(kSecondCollection, ParameterReport(1));
    for (std::size_t page = 0; page + 1 < kUploadPageCount; ++page)
        mouse.Write(kSecondCollection, PageReport(table, page));
    EXPECT_FALSE(mouse.Profile(0).has_value());
    EXPECT_TRUE(mouse.UploadInProgress());
    mouse.Write(kSecondCollection, PageReport(table, kUploadPageCount - 1));
    EXPECT_TRUE(mouse.Profile(0).has_value());
}

TEST(MouseModelUpload, HeaderRestartsAnUploadInProgress) {
    MouseModel mouse = AttachedMouse();
    const SlotTable stale = TableWithKeyCode(1, 0x11);
    const SlotTable fresh = TableWithKeyCode(2, 0x22);
    mouse.Write(kSecondCollection, HeaderReport(1));
    mouse.Write(kSecondCollection, ParameterReport(1));
    for (std::size_t page = 0; page < 10; ++page) mouse.Write(kSecondCollection, PageReport(stale, page));

    ASSERT_TRUE(Upload(mouse, 3, fresh));
    EXPECT_FALSE(mouse.Profile(0).has_value());
    ASSERT_TRUE(mouse.Profile(2).has_value());
    EXPECT_EQ(mouse.Profile(2)->slots, fresh);
}

TEST(MouseModelUpload, UnfinishedReuploadKeepsThePreviousProfile) {
    MouseModel mouse = AttachedMouse();
    const SlotTable first = TableWithKeyCode(1, 0x11);
    ASSERT_TRUE(Upload(mouse, 1, first));
    mouse.Write(kSecondCollection, HeaderReport(1));
    mouse.Write(kSecondCollection, ParameterReport(2));
    ASSERT_TRUE(mouse.Profile(0).has_value());
    EXPECT_EQ(mouse.Profile(0)->slots, first);
}

TEST(MouseModelUpload, PagesOutsideAnUploadAreIgnored) {
    MouseModel mouse = AttachedMouse();
    const SlotTable table = TableWithKeyCode(1, 0x11);
    for (std::size_t page = 0; page < kUploadPageCount + 2; ++page) {
        EXPECT_TRUE(mouse.Write(kSecondCollection, PageReport(table, page % kUploadPageCount)));
    }
    for (std::size_t slot = 0; slot < kProfileCount; ++slot) EXPECT_FALSE(mouse.Profile(slot).has_value());
}

TEST(MouseModelUpload, DetachAbandonsTheUpload) {
    MouseModel mouse = AttachedMouse();
    const SlotTable table = TableWithKeyCode(1, 0x11);
    mouse.Write(kSecondCollection, HeaderReport(1));
    mouse.Write(kSecondCollection, ParameterReport(1));
    mouse.Detach();
    mouse.Attach();
    for (std::size_t page = 0; page < kUploadPageCount; ++page) mouse.Write(kSecondCollection, PageReport(table, page));
    EXPECT_FALSE(mouse.Profile(0).has_value());
}

TEST(MouseModelGlobal, GlobalReportSelectsProfileAndPollingRate) {
    MouseModel mouse = AttachedMouse();
    ASSERT_TRUE(mouse.Write(kSecondCollection, GlobalReport(3, 2)));
    ASSERT_TRUE(mouse.Global().has_value());
    EXPECT_EQ(mouse.Global()->profileNumber, 3);
    EXPECT_EQ(mouse.Global()->pollingRateCode, 2);
    EXPECT_EQ(mouse.Global()->report, GlobalReport(3, 2));
    EXPECT_EQ(mouse.CurrentProfile(), 2u);
}

TEST(MouseModelGlobal, OutOfRangeProfileKeepsTheCurrentOne) {
    MouseModel mouse = AttachedMouse();
    mouse.Write(kSecondCollection, GlobalReport(2, 0));
    mouse.Write(kSecondCollection, GlobalReport(9, 0));
    EXPECT_EQ(mouse.CurrentProfile(), 1u);
    EXPECT_EQ(mouse.Global()->profileNumber, 0);
}

TEST(MouseModelWrites, OnlyFullReportsOnTheSecondCollectionOfAnAttachedMouseAreTaken) {
    MouseModel mouse = AttachedMouse();
    EXPECT_TRUE(mouse.Write(kSecondCollection, EmptyReport()));
    EXPECT_FALSE(mouse.Write(kMainCollection, EmptyReport()));
    EXPECT_FALSE(mouse.Write(kSecondCollection, Bytes(32, 0)));
    EXPECT_FALSE(mouse.Write(kSecondCollection, Bytes(34, 0)));
    mouse.Detach();
    EXPECT_FALSE(mouse.Write(kSecondCollection, EmptyReport()));
}

TEST(MouseModelFailures, FailAllRefusesEveryWriteAndStoresNothing) {
    MouseModel mouse = AttachedMouse();
    mouse.SetFailure({FailurePlan::Kind::All, 0});
    EXPECT_FALSE(Upload(mouse, 1, TableWithKeyCode(1, 1)));
    EXPECT_FALSE(mouse.Write(kSecondCollection, GlobalReport(2, 1)));
    EXPECT_FALSE(mouse.Profile(0).has_value());
    EXPECT_FALSE(mouse.Global().has_value());
    mouse.SetFailure({});
    EXPECT_TRUE(mouse.Write(kSecondCollection, GlobalReport(2, 1)));
}

TEST(MouseModelFailures, NthWriteFailsOnceCountingFromOne) {
    MouseModel mouse = AttachedMouse();
    mouse.SetFailure({FailurePlan::Kind::Nth, 3});
    EXPECT_TRUE(mouse.Write(kSecondCollection, EmptyReport()));
    EXPECT_TRUE(mouse.Write(kSecondCollection, EmptyReport()));
    EXPECT_FALSE(mouse.Write(kSecondCollection, EmptyReport()));
    EXPECT_EQ(mouse.Failure().kind, FailurePlan::Kind::None);
    EXPECT_TRUE(mouse.Write(kSecondCollection, EmptyReport()));
}

TEST(MouseModelFailures, FirstWriteFailsWhenToldOne) {
    MouseModel mouse = AttachedMouse();
    mouse.SetFailure({FailurePlan::Kind::Nth, 1});
    EXPECT_FALSE(mouse.Write(kSecondCollection, EmptyReport()));
    EXPECT_TRUE(mouse.Write(kSecondCollection, EmptyReport()));
}

TEST(MouseModelFailures, WritesThatNeverReachTheMouseDoNotCount) {
    MouseModel mouse = AttachedMouse();
    mouse.SetFailure({FailurePlan::Kind::Nth, 2});
    EXPECT_TRUE(mouse.Write(kSecondCollection, EmptyReport()));
    EXPECT_FALSE(mouse.Write(kMainCollection, EmptyReport()));
    EXPECT_FALSE(mouse.Write(kSecondCollection, Bytes(5, 0)));
    EXPECT_FALSE(mouse.Write(kSecondCollection, EmptyReport()));
    EXPECT_TRUE(mouse.Write(kSecondCollection, EmptyReport()));
}

TEST(MouseModelFailures, FailedPageIsNotTakenSoTheUploadStaysIncomplete) {
    MouseModel mouse = AttachedMouse();
    const SlotTable table = TableWithKeyCode(1, 0x11);
    mouse.SetFailure({FailurePlan::Kind::Nth, 10});
    EXPECT_FALSE(Upload(mouse, 1, table));
    EXPECT_FALSE(mouse.Profile(0).has_value());
    EXPECT_TRUE(mouse.UploadInProgress());
}

TEST(MouseModelKeys, ProfileKeySendsItsCodeAndSelectsTheProfile) {
    MouseModel mouse = AttachedMouse();
    for (int n = 1; n <= 3; ++n) {
        const PressResult press = mouse.PressProfileKey(n);
        ASSERT_TRUE(press.report.has_value());
        EXPECT_EQ(press.report->collection, kSecondCollection);
        EXPECT_EQ(press.report->bytes, (Bytes{3, static_cast<std::uint8_t>(n << 4), 0}));
        EXPECT_EQ(mouse.CurrentProfile(), static_cast<std::size_t>(n - 1));
    }
}

TEST(MouseModelKeys, CpiKeySendsItsLevel) {
    MouseModel mouse = AttachedMouse();
    const PressResult press = mouse.PressCpiKey(4);
    ASSERT_TRUE(press.report.has_value());
    EXPECT_EQ(press.report->bytes, (Bytes{3, 4, 0}));
    EXPECT_EQ(mouse.CpiLevel(), 4);
}

TEST(MouseModelKeys, OutOfRangeKeysAndDetachedMouseAreRefused) {
    MouseModel mouse = AttachedMouse();
    EXPECT_FALSE(mouse.PressProfileKey(0).error.empty());
    EXPECT_FALSE(mouse.PressProfileKey(4).error.empty());
    EXPECT_FALSE(mouse.PressCpiKey(5).error.empty());
    EXPECT_FALSE(mouse.PressButton(9).error.empty());
    mouse.Detach();
    const PressResult press = mouse.PressProfileKey(2);
    EXPECT_FALSE(press.error.empty());
    EXPECT_FALSE(press.report.has_value());
    EXPECT_EQ(mouse.CurrentProfile(), 0u);
}

TEST(MouseModelButtons, ButtonsMapToTheirSlots) {
    // Buttons 1..6 use slots 2..7; 7 and 8 use slots 0 and 1.
    const std::size_t expectedSlots[] = {2, 3, 4, 5, 6, 7, 0, 1};
    for (int button = 1; button <= kButtonCount; ++button) {
        MouseModel mouse = AttachedMouse();
        const std::size_t slot = expectedSlots[button - 1];
        ASSERT_TRUE(Upload(mouse, 1, TableWithKeyCode(slot, static_cast<std::uint8_t>(0xF6 + button))));
        for (int other = 1; other <= kButtonCount; ++other) {
            const PressResult press = mouse.PressButton(other);
            EXPECT_TRUE(press.error.empty());
            if (other == button) {
                ASSERT_TRUE(press.report.has_value()) << "button " << button;
                EXPECT_EQ(press.report->bytes, (Bytes{3, static_cast<std::uint8_t>(0xF6 + button), 0}));
            } else {
                EXPECT_FALSE(press.report.has_value()) << "button " << other << " with slot of " << button;
            }
        }
    }
}

TEST(MouseModelButtons, ButtonUsesTheCurrentProfilesRecord) {
    MouseModel mouse = AttachedMouse();
    ASSERT_TRUE(Upload(mouse, 1, TableWithKeyCode(2, 0xE9)));
    ASSERT_TRUE(Upload(mouse, 2, TableWithKeyCode(2, 0xEA)));
    EXPECT_EQ(mouse.PressButton(1).report->bytes, (Bytes{3, 0xE9, 0}));
    mouse.PressProfileKey(2);
    EXPECT_EQ(mouse.PressButton(1).report->bytes, (Bytes{3, 0xEA, 0}));
    mouse.PressProfileKey(3);
    const PressResult unstored = mouse.PressButton(1);
    EXPECT_TRUE(unstored.error.empty());
    EXPECT_FALSE(unstored.report.has_value());
}

TEST(MouseModelAttachment, StoredSettingsSurviveDetach) {
    MouseModel mouse = AttachedMouse();
    ASSERT_TRUE(Upload(mouse, 1, TableWithKeyCode(2, 0xE9)));
    mouse.Detach();
    mouse.Attach();
    ASSERT_TRUE(mouse.PressButton(1).report.has_value());
}

}  // namespace
}  // namespace simmouse
