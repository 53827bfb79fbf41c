// The library's session over stand-in collections (named pipes): what reaches the
// caller's window and callback as mice come, talk, take writes and go.
#include <windows.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

#include "HidTestSupport.h"
#include "MonitorSession.h"
#include "PipeCollections.h"
#include "TestProcess.h"

namespace {

using hiddevice::CollectionAttributes;
using hiddevice::ReportLengths;

constexpr std::uint32_t kBusVendorId = 0x3E71;
constexpr CollectionAttributes kMainCollection{kBusVendorId, hid::kProductId, 1, 0xFF00};
constexpr CollectionAttributes kSecondCollection{kBusVendorId, hid::kProductId, 1, 0x000C};
constexpr ReportLengths kMainLengths{9, 0};
constexpr ReportLengths kSecondLengths{3, hid::kOutputReportLength};

using Bytes = std::vector<std::uint8_t>;

std::vector<Notice> Sorted(std::vector<Notice> notices) {
    std::sort(notices.begin(), notices.end(), [](const Notice& a, const Notice& b) { return a.DeviceId < b.DeviceId; });
    return notices;
}

std::vector<Notice> From(const std::vector<Notice>& notices, std::size_t first) {
    return {notices.begin() + static_cast<std::ptrdiff_t>(std::min(first, notices.size())), notices.end()};
}

Bytes OutputReport(std::uint8_t seed) {
    Bytes report(hid::kOutputReportLength);
    for (std::size_t i = 0; i < report.size(); ++i) report[i] = static_cast<std::uint8_t>(seed + i);
    return report;
}

class MonitorSessionTest : public ::testing::Test {
protected:
    void SetUp() override { RecordedInputs().clear(); }
    void TearDown() override {
        if (session) session->Stop();
    }

    // The second collection sorts first among the pipes, so that the main one opening
    // first is the session's doing, not the enumeration's.
    static std::wstring Main(const std::wstring& mouse) { return mouse + L"-vendor"; }
    static std::wstring Second(const std::wstring& mouse) { return mouse + L"-consumer"; }

    void PlugMouse(const std::wstring& mouse, DWORD bufferBytes = 4096) {
        bus->Attach(Second(mouse), mouse, kSecondCollection, kSecondLengths, bufferBytes);
        bus->Attach(Main(mouse), mouse, kMainCollection, kMainLengths, bufferBytes);
    }

    bool StartSession() {
        session = std::make_shared<hiddevice::MonitorSession>(
            notices.Handle(), hid::kMsgDeviceMonitor, hiddevice::CollectionFilter(hid::MakeMouseFilter(kBusVendorId)),
            std::make_unique<PipeCollectionSource>(bus), callback);
        return session->Start();
    }

    void Announce(WPARAM event) {
        const auto windows = MonitorWindows();
        ASSERT_EQ(windows.size(), 1u);
        AnnounceDeviceChange(windows.front(), event);
    }

    bool Write(std::uint16_t deviceId, const Bytes& report) {
        return session->Write(deviceId, report.data(), static_cast<std::uint32_t>(report.size()));
    }

    static bool WaitForInputs(std::size_t count) {
        return PumpUntil([&] { return RecordedInputs().size() >= count; }, 5000);
    }

    std::shared_ptr<PipeBus> bus = std::make_shared<PipeBus>();
    std::atomic<hid::InputCallback> callback{&RecordInput};
    NoticeWindow notices;
    std::shared_ptr<hiddevice::MonitorSession> session;
};

TEST_F(MonitorSessionTest, EachMouseOpensMainCollectionFirstAndStopClosesEverything) {
    bus->Attach(L"other-product", L"other", {kBusVendorId, 0x0001, 1, 0xFF00}, kMainLengths);
    PlugMouse(L"first");
    EXPECT_TRUE(StartSession());
    EXPECT_EQ(notices.WaitFor(2), (std::vector<Notice>{{true, 2}, {true, 3}}));

    PlugMouse(L"second");
    Announce(DBT_DEVICEARRIVAL);
    EXPECT_EQ(From(notices.WaitFor(4), 2), (std::vector<Notice>{{true, 4}, {true, 5}}));

    session->Stop();
    EXPECT_EQ(Sorted(From(notices.WaitFor(8), 4)),
              (std::vector<Notice>{{false, 2}, {false, 3}, {false, 4}, {false, 5}}));
    PumpFor(0);  // rescans and the stop post their notices before they return
    EXPECT_EQ(notices.notices.size(), 8u) << "the other product never opens";
    EXPECT_TRUE(MonitorWindows().empty());
}

TEST_F(MonitorSessionTest, NothingAtStartThenTheMouseComesAndGoesWithTheSystemsNotices) {
    EXPECT_FALSE(StartSession());
    PlugMouse(L"late");
    Announce(DBT_DEVICEARRIVAL);
    EXPECT_EQ(notices.WaitFor(2), (std::vector<Notice>{{true, 2}, {true, 3}}));

    // The main collection leaves the system's list: the whole mouse closes.
    bus->Detach(Main(L"late"), false);
    Announce(DBT_DEVICEREMOVECOMPLETE);
    EXPECT_EQ(Sorted(From(notices.WaitFor(4), 2)), (std::vector<Notice>{{false, 2}, {false, 3}}));
    EXPECT_FALSE(Write(3, OutputReport(1)));
}

TEST_F(MonitorSessionTest, ReportsReachTheCallbackOnTheStartingThreadInANineByteBuffer) {
    PlugMouse(L"mouse");
    ASSERT_TRUE(StartSession());
    notices.WaitFor(2);

    const Bytes mainReport{3, 0x20, 1, 2, 3, 4, 5, 6, 7};
    ASSERT_TRUE(bus->Send(Main(L"mouse"), mainReport));
    ASSERT_TRUE(bus->Send(Second(L"mouse"), {2, 0xE9, 0x00}));
    ASSERT_TRUE(WaitForInputs(2));

    auto inputs = RecordedInputs();
    std::sort(inputs.begin(), inputs.end(), [](const auto& a, const auto& b) { return a.DeviceId < b.DeviceId; });
    for (const RecordedInput& input : inputs) EXPECT_EQ(input.Thread, GetCurrentThreadId());
    EXPECT_EQ(inputs[0].DeviceId, 2u);
    EXPECT_EQ(inputs[0].Length, 9u);
    EXPECT_EQ(inputs[0].FirstNineBytes, mainReport);
    EXPECT_EQ(inputs[1].DeviceId, 3u);
    EXPECT_EQ(inputs[1].Length, 3u) << "the length the device sent";
    EXPECT_EQ(inputs[1].FirstNineBytes, (Bytes{2, 0xE9, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(MonitorSessionTest, AFloodOfReportsLosesTheNewestButNeverTheOrder) {
    PlugMouse(L"mouse", 256);
    ASSERT_TRUE(StartSession());
    notices.WaitFor(2);

    // This thread delivers nothing while it sends: the reports pile up in the session.
    // Three times what the session holds: enough that most of it must be dropped.
    constexpr std::uint16_t kFlood = 1536;
    for (std::uint16_t sequence = 0; sequence < kFlood; ++sequence) {
        ASSERT_TRUE(bus->Send(Main(L"mouse"), {3, static_cast<std::uint8_t>(sequence),
                                               static_cast<std::uint8_t>(sequence >> 8), 0, 0, 0, 0, 0, 0}));
    }
    // Once the pile is handed over there is room again: a last report gets through and
    // marks the end of the flood.
    ASSERT_TRUE(WaitForInputs(64));
    ASSERT_TRUE(bus->Send(Main(L"mouse"), {4, 0, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(PumpUntil([] { return RecordedInputs().back().FirstNineBytes[0] == 4; }, 5000));

    std::vector<unsigned> delivered;
    for (const RecordedInput& input : RecordedInputs()) {
        if (input.FirstNineBytes[0] == 3) delivered.push_back(input.FirstNineBytes[1] | input.FirstNineBytes[2] << 8);
    }
    std::size_t unbroken = 0;
    while (unbroken < delivered.size() && delivered[unbroken] == unbroken) ++unbroken;
    std::printf("flood of %u reports: %zu delivered, the first %zu of them without a gap\n", kFlood, delivered.size(),
                unbroken);
    EXPECT_TRUE(std::is_sorted(delivered.begin(), delivered.end()));
    EXPECT_EQ(std::adjacent_find(delivered.begin(), delivered.end()), delivered.end());
    EXPECT_LT(delivered.size(), kFlood) << "the pile is bounded";
    EXPECT_GE(unbroken, 256u) << "a burst is kept whole up to the bound";
}

TEST_F(MonitorSessionTest, WritesReachTheDeviceWholeAndOnlyAtItsOwnLength) {
    PlugMouse(L"mouse");
    ASSERT_TRUE(StartSession());
    notices.WaitFor(2);

    const Bytes report = OutputReport(7);
    EXPECT_TRUE(Write(3, report));
    EXPECT_EQ(bus->Received(Second(L"mouse"), 5000), report);

    EXPECT_FALSE(Write(3, Bytes(hid::kOutputReportLength - 1)));
    EXPECT_FALSE(Write(3, Bytes(hid::kOutputReportLength + 1)));
    EXPECT_FALSE(Write(2, report)) << "the main collection takes no output reports";
    EXPECT_FALSE(Write(5, report)) << "not open";
    EXPECT_FALSE(bus->Received(Second(L"mouse"), 300).has_value()) << "nothing refused reached the device";
}

TEST_F(MonitorSessionTest, AMouseThatTakesTheUploadOnItsVendorCollectionGetsItReportedSecond) {
    bus->Attach(Second(L"mouse"), L"mouse", kSecondCollection, {3, 0});
    bus->Attach(Main(L"mouse"), L"mouse", kMainCollection, {9, hid::kOutputReportLength});
    ASSERT_TRUE(StartSession());
    EXPECT_EQ(notices.WaitFor(2), (std::vector<Notice>{{true, 2}, {true, 3}}));

    const Bytes report = OutputReport(9);
    EXPECT_TRUE(Write(3, report));
    EXPECT_EQ(bus->Received(Main(L"mouse"), 5000), report) << "the identifier reported second is the vendor collection";
    ASSERT_TRUE(bus->Send(Second(L"mouse"), {3, 0xE9, 0}));
    ASSERT_TRUE(WaitForInputs(1));
    EXPECT_EQ(RecordedInputs().front().DeviceId, 2u);
}

TEST_F(MonitorSessionTest, AMouseThatVanishesDuringAReadClosesWholeUntilItArrivesAgain) {
    PlugMouse(L"mouse");
    ASSERT_TRUE(StartSession());
    notices.WaitFor(2);

    bus->Detach(Main(L"mouse"), true);
    EXPECT_EQ(Sorted(From(notices.WaitFor(4), 2)), (std::vector<Notice>{{false, 2}, {false, 3}}));
    EXPECT_FALSE(Write(3, OutputReport(1)));

    PlugMouse(L"mouse");
    Announce(DBT_DEVICEARRIVAL);
    EXPECT_EQ(From(notices.WaitFor(6), 4), (std::vector<Notice>{{true, 2}, {true, 3}}));
    ASSERT_TRUE(bus->Send(Main(L"mouse"), {3, 0x10, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_TRUE(WaitForInputs(1));
    EXPECT_EQ(RecordedInputs().front().DeviceId, 2u);
}

TEST_F(MonitorSessionTest, ForgedWakeUpsOfTheSessionsWindowCloseNothingAndDeliverNothing) {
    PlugMouse(L"mouse");
    ASSERT_TRUE(StartSession());
    notices.WaitFor(2);
    const auto windows = MonitorWindows();
    ASSERT_EQ(windows.size(), 1u);
    // What another program could post: the identifiers with every early serial.
    for (LPARAM serial = 0; serial < 64; ++serial) {
        for (WPARAM deviceId : {2, 3}) {
            ASSERT_TRUE(PostMessageW(windows.front(), WM_APP + 2, deviceId, serial));
            ASSERT_TRUE(PostMessageW(windows.front(), WM_APP + 1, deviceId, serial));
        }
    }
    ASSERT_TRUE(PumpUntil(
        [] {
            MSG pending;
            return !PeekMessageW(&pending, nullptr, 0, 0, PM_NOREMOVE);
        },
        5000));
    EXPECT_EQ(notices.notices.size(), 2u) << "no collection closed";
    EXPECT_TRUE(RecordedInputs().empty());
    EXPECT_TRUE(Write(3, OutputReport(1)));
    ASSERT_TRUE(bus->Send(Main(L"mouse"), {3, 0x20, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(WaitForInputs(1));
}

TEST_F(MonitorSessionTest, AWriteTheVanishingMouseNeverTakesFailsAndClosesOnlyThatCollection) {
    PlugMouse(L"mouse", 64);
    ASSERT_TRUE(StartSession());
    notices.WaitFor(2);

    // The device reads nothing: its pipe fills until a write waits in vain.
    int accepted = 0;
    while (accepted < 64 && Write(3, OutputReport(static_cast<std::uint8_t>(accepted)))) ++accepted;
    std::printf("%d writes accepted before the device's buffer was full\n", accepted);
    ASSERT_LT(accepted, 64) << "the stand-in never pushed back";

    UniqueKernelHandle writing(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    bool written = true;
    std::thread writer([&] {
        SetEvent(writing.get());
        written = Write(3, OutputReport(0xA0));
    });
    WaitForSingleObject(writing.get(), INFINITE);
    Sleep(100);  // most likely inside the write by now; either way it must fail
    bus->Detach(Second(L"mouse"), true);
    writer.join();
    EXPECT_FALSE(written);

    EXPECT_EQ(From(notices.WaitFor(3), 2), (std::vector<Notice>{{false, 3}}));
    // A report read from the main collection after the close is the barrier: it is still open.
    ASSERT_TRUE(bus->Send(Main(L"mouse"), {3, 0x30, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(WaitForInputs(1));
    EXPECT_EQ(notices.notices.size(), 3u) << "the main collection stays open";
}

TEST_F(MonitorSessionTest, SessionsWithAMouseLeaveNoThreadsOrHandlesBehind) {
    // Plugged, opened, one report read, stopped: true when both collections opened and closed.
    const auto cycle = [&] {
        PlugMouse(L"mouse");
        const std::size_t seen = notices.notices.size();
        StartSession();
        const bool opened = notices.WaitFor(seen + 2).size() == seen + 2;
        bus->Send(Main(L"mouse"), {3, 0x20, 0, 0, 0, 0, 0, 0, 0});
        session->Stop();
        session.reset();
        return opened && notices.WaitFor(seen + 4).size() == seen + 4;
    };
    ASSERT_TRUE(cycle());
    const ProcessHoldings before = CountHoldings();
    constexpr int kCycles = 20;
    for (int i = 0; i < kCycles; ++i) ASSERT_TRUE(cycle()) << "cycle " << i;
    // Waits only while something is still held; a leak runs into the time.
    ProcessHoldings after = CountHoldings();
    PumpUntil(
        [&] { return (after = CountHoldings()).Threads == before.Threads && after.Handles <= before.Handles + 2; },
        2000);
    std::printf("holdings before/after %d sessions with a mouse: handles %lu/%lu, threads %lu/%lu\n", kCycles,
                before.Handles, after.Handles, before.Threads, after.Threads);
    EXPECT_LE(after.Handles, before.Handles + 2);
    EXPECT_EQ(after.Threads, before.Threads);
}

}  // namespace
