// HidDevice.dll as the agent uses it, on a system without the mouse: the ordinals it
// exports, what each does with nothing to open, and what start and stop leave behind.
#include <windows.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "ExportTable.h"
#include "HidTestSupport.h"
#include "TestFiles.h"
#include "TestProcess.h"

namespace {

constexpr std::uint32_t kVendorId = TERN7_VENDOR_ID;

class HidLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.Loaded()) << "HidDevice.dll must load and resolve ordinals 2, 3, 5, 7, 8";
        RecordedInputs().clear();
    }
    void TearDown() override {
        if (library.Loaded()) library.Stop();
    }

    // Ordinals 7, 8 and 2 in the agent's order.
    std::int32_t StartLikeTheAgent() {
        const hid::DeviceFilter filter = hid::MakeMouseFilter(kVendorId);
        library.SetFilter(&filter);
        library.SetCallback(&RecordInput);
        return library.Start(notices.Handle(), hid::kMsgDeviceMonitor);
    }

    HidLibrary library{BuiltLibraryPath()};
    NoticeWindow notices;
};

TEST(HidLibraryExports, TheFileExportsExactlyTheAgentsOrdinalsAndNoNames) {
    const auto table = ReadExportTable(ReadFileBytes(BuiltLibraryPath()));
    ASSERT_TRUE(table.has_value()) << "no export directory";
    EXPECT_EQ(table->Ordinals, (std::set<unsigned>{2, 3, 5, 7, 8}));
    EXPECT_EQ(table->Names, 0u) << "the agent imports by ordinal only";

    const UniqueModule module(LoadLibraryW(BuiltLibraryPath().c_str()));
    ASSERT_TRUE(module);
    for (const unsigned ordinal : {1u, 4u, 6u, 9u}) {
        EXPECT_EQ(GetProcAddress(module.get(), MAKEINTRESOURCEA(ordinal)), nullptr) << ordinal;
    }
}

TEST_F(HidLibraryTest, WithoutAMouseStartReturnsZeroButKeepsWatchingUntilStop) {
    EXPECT_EQ(StartLikeTheAgent(), 0);
    ASSERT_EQ(MonitorWindows().size(), 1u) << "the session watches for arrivals";

    // An arrival with still nothing to open changes nothing and ends nothing.
    AnnounceDeviceChange(MonitorWindows().front(), DBT_DEVICEARRIVAL);
    // The arrival is looked at on a timer of the library's own, which says nothing when
    // it finds nothing: no condition to wait for, so the time covers its delay.
    PumpFor(400);
    EXPECT_EQ(MonitorWindows().size(), 1u);
    EXPECT_TRUE(notices.notices.empty());

    library.Stop();
    EXPECT_TRUE(MonitorWindows().empty());
    PumpFor(0);  // the stop posts its notices before it returns
    EXPECT_TRUE(notices.notices.empty()) << "nothing was open, so nothing closes";
    EXPECT_TRUE(RecordedInputs().empty());
}

TEST_F(HidLibraryTest, WritesWithoutAnOpenCollectionOrOfTheWrongLengthAreRefused) {
    // The last error says why, for the agent's diagnostic line.
    std::vector<std::uint8_t> report(hid::kOutputReportLength + 1, 0);
    EXPECT_EQ(library.Write(3, report.data(), hid::kOutputReportLength), 0) << "before any start";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));

    StartLikeTheAgent();
    for (const std::uint32_t deviceId : {0u, 2u, 3u, 0xFFFFu, 0x10003u, 0xFFFFFFFFu}) {
        SetLastError(0);
        EXPECT_EQ(library.Write(deviceId, report.data(), hid::kOutputReportLength), 0) << deviceId;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED)) << deviceId;
    }
    for (const std::uint32_t length : {0u, hid::kOutputReportLength - 1, hid::kOutputReportLength + 1}) {
        EXPECT_EQ(library.Write(3, report.data(), length), 0) << length;
    }
    EXPECT_EQ(library.Write(3, nullptr, hid::kOutputReportLength), 0);
}

TEST_F(HidLibraryTest, StopTwiceOrBeforeStartAndStartTwiceAreHarmless) {
    library.Stop();
    library.Stop();
    EXPECT_EQ(StartLikeTheAgent(), 0);
    EXPECT_EQ(StartLikeTheAgent(), 0);
    EXPECT_EQ(MonitorWindows().size(), 1u) << "a second start replaces the first session";
    library.Stop();
    library.Stop();
    EXPECT_TRUE(MonitorWindows().empty());

    // And the library starts again after all that.
    EXPECT_EQ(StartLikeTheAgent(), 0);
    EXPECT_EQ(MonitorWindows().size(), 1u);
}

TEST_F(HidLibraryTest, NullOrOversizedArgumentsAreSurvived) {
    library.SetFilter(nullptr);
    library.SetCallback(nullptr);
    EXPECT_EQ(library.Start(nullptr, hid::kMsgDeviceMonitor), 0);
    library.Stop();

    hid::DeviceFilter oversized = hid::MakeMouseFilter(kVendorId);
    oversized.PairCount = 0xFFFFFFFF;
    library.SetFilter(&oversized);
    library.SetFilter(nullptr);  // keeps the last filter
    EXPECT_EQ(library.Start(notices.Handle(), hid::kMsgDeviceMonitor), 0);
    EXPECT_EQ(library.Write(3, nullptr, 0), 0);
    library.Stop();
}

TEST_F(HidLibraryTest, StartStopCyclesLeaveNothingBehind) {
    // One cycle first: the system loads and caches what it needs once per process.
    StartLikeTheAgent();
    library.Stop();
    PumpFor(0);
    const ProcessHoldings before = CountHoldings();

    constexpr int kCycles = 100;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        StartLikeTheAgent();
        library.Stop();
    }
    PumpFor(0);
    // Waits only while something is still held; a leak runs into the time.
    ProcessHoldings after = CountHoldings();
    PumpUntil(
        [&] { return (after = CountHoldings()).Threads == before.Threads && after.Handles <= before.Handles + 2; },
        2000);
    std::printf("holdings before/after %d cycles: handles %lu/%lu, GDI %lu/%lu, USER %lu/%lu, threads %lu/%lu\n",
                kCycles, before.Handles, after.Handles, before.GdiObjects, after.GdiObjects, before.UserObjects,
                after.UserObjects, before.Threads, after.Threads);

    // A little room for the system's own caches; a leak in the cycle grows with the cycles.
    EXPECT_LE(after.Handles, before.Handles + 2);
    EXPECT_LE(after.GdiObjects, before.GdiObjects + 2);
    EXPECT_LE(after.UserObjects, before.UserObjects + 2);
    EXPECT_EQ(after.Threads, before.Threads);
    EXPECT_TRUE(MonitorWindows().empty());
}

}  // namespace
