// The virtual mouse's bus driver through its control requests and the HID handles of its
// collections: what a real mouse cannot do it refuses, a collection that is gone fails,
// and its reports leave at a mouse's pace.
#include <windows.h>

#include <gtest/gtest.h>

#include "CollectionPresence.h"
#include "MouseReports.h"
#include "RawCollection.h"
#include "Tern7Layout.h"
#include "VirtualMouse.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using virtualmouse::kKeyChild;
using virtualmouse::kVendorChild;

class VirtualMouseDevice : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mouse.Ready()); }
    const virtualmouse::BusControl& Bus() const { return mouse.Bus(); }
    vmouse_state State() const {
        vmouse_state state{};
        EXPECT_EQ(Bus().ReadState(state), static_cast<DWORD>(ERROR_SUCCESS));
        return state;
    }
    VirtualMouse mouse{true};
};

TEST_F(VirtualMouseDevice, RefusesWhatAMouseCannotDo) {
    const Bytes key{3, 0x20, 0};
    EXPECT_EQ(Bus().Plug(virtualmouse::Tern7Layout(TERN7_VENDOR_ID)), static_cast<DWORD>(ERROR_BUSY))
        << "plugged in twice";
    EXPECT_EQ(Bus().SendInput(7, 3, key), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << "no such collection";

    // The queue of a collection holds so many reports, and no more (the mouse sends only a
    // few of them in between).
    Bytes many;
    for (int i = 0; i < VMOUSE_INPUT_CAPACITY; ++i) many.insert(many.end(), key.begin(), key.end());
    EXPECT_EQ(Bus().SendInput(kKeyChild, 3, many), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(Bus().SendInput(kKeyChild, 3, many), static_cast<DWORD>(ERROR_NO_SYSTEM_RESOURCES));

    ASSERT_EQ(mouse.Run(L"detach").ExitCode, 0u);
    EXPECT_EQ(Bus().SendInput(kKeyChild, 3, key), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
    // What was still queued went with the mouse.
    ASSERT_EQ(mouse.Run(L"attach").ExitCode, 0u);
    RawCollection keys(kKeyChild);
    ASSERT_TRUE(keys.Opened());
    const Bytes marker{3, 0x77, 0};
    ASSERT_EQ(Bus().SendInput(kKeyChild, 3, marker), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(keys.Read(), marker);
    ASSERT_EQ(mouse.Run(L"detach").ExitCode, 0u);

    vmouse_layout broken = virtualmouse::Tern7Layout(TERN7_VENDOR_ID);
    broken.child_count = VMOUSE_MAX_CHILDREN + 1;
    EXPECT_EQ(Bus().Plug(broken), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Bus().AddNote(std::string(VMOUSE_MAX_REPORT + 1, 'x')), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(VirtualMouseDevice, WritesPassAndFailAsPlannedAndWriteFileCountsTheWholeReport) {
    RawCollection vendor(kVendorChild);
    ASSERT_TRUE(vendor.Opened());
    const Bytes report = simmouse::testing::GlobalReport(3, 2);
    const vmouse_state before = State();
    ASSERT_EQ(Bus().FailWrites(1, 2), static_cast<DWORD>(ERROR_SUCCESS));
    const bool expected[] = {true, false, false, true, true};
    for (const bool passes : expected) {
        const RawCollection::Transfer write = vendor.Write(report);
        EXPECT_EQ(write.ok, passes);
        EXPECT_EQ(write.written, passes ? report.size() : 0u);
    }
    const vmouse_state after = State();
    EXPECT_EQ(after.writes_taken - before.writes_taken, 3u);
    EXPECT_EQ(after.writes_failed - before.writes_failed, 2u);
    EXPECT_EQ(after.fail_remaining, 0u);
}

TEST_F(VirtualMouseDevice, UnplugEndsAPendingReadAndFailsWritesOnHandlesKeptOpen) {
    RawCollection keys(kKeyChild);
    RawCollection vendor(kVendorChild);
    ASSERT_TRUE(keys.Opened() && vendor.Opened());
    const std::uint32_t takenBefore = State().writes_taken;
    ASSERT_TRUE(keys.StartRead());
    EXPECT_FALSE(keys.FinishRead(0).has_value()) << "nothing to read yet";

    ASSERT_EQ(mouse.Run(L"detach").ExitCode, 0u);
    const auto read = keys.FinishRead(5000);
    ASSERT_TRUE(read.has_value()) << "the pending read ended";
    EXPECT_FALSE(read->ok);

    const RawCollection::Transfer write = vendor.Write(simmouse::testing::GlobalReport(1, 0));
    EXPECT_FALSE(write.ok) << "the mouse is gone";
    EXPECT_EQ(State().writes_taken, takenBefore);
    for (const std::string& line : mouse.Log()) EXPECT_EQ(line.rfind("write 3 failed", 0), 0u) << line;
}

// A full-speed mouse is polled once a millisecond.
TEST_F(VirtualMouseDevice, ReportsLeaveAtTheMousesPace) {
    constexpr int kReports = 100;
    RawCollection keys(kKeyChild);
    ASSERT_TRUE(keys.Opened());
    Bytes reports;
    for (int i = 0; i < kReports; ++i) reports.insert(reports.end(), {3, static_cast<std::uint8_t>(i), 0});
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceCounter(&start);
    ASSERT_EQ(Bus().SendInput(kKeyChild, 3, reports), static_cast<DWORD>(ERROR_SUCCESS));
    for (int i = 0; i < kReports; ++i) ASSERT_EQ(keys.Read(), (Bytes{3, static_cast<std::uint8_t>(i), 0}));
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&frequency);
    const double ms =
        static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
    EXPECT_GE(ms, (kReports - 1) * virtualmouse::kInputIntervalUs / 1000.0);
    EXPECT_EQ(State().inputs_sent[kKeyChild], static_cast<std::uint32_t>(kReports));
}

// The log keeps the newest entries, numbered on, for the model that replays it.
TEST_F(VirtualMouseDevice, TheLogKeepsItsNewestEntriesInOrder) {
    constexpr std::uint32_t kNotes = VMOUSE_LOG_CAPACITY + 100;
    for (std::uint32_t i = 0; i < kNotes; ++i) ASSERT_EQ(Bus().AddNote("note " + std::to_string(i)), 0u);
    std::vector<vmouse_log_entry> entries;
    vmouse_log_chunk bounds{};
    ASSERT_EQ(Bus().ReadLog(0, entries, bounds), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(VMOUSE_LOG_CAPACITY));
    EXPECT_EQ(bounds.first_kept, entries.front().sequence);
    EXPECT_EQ(bounds.next, entries.back().sequence + 1);
    for (std::size_t i = 1; i < entries.size(); ++i) ASSERT_EQ(entries[i].sequence, entries[i - 1].sequence + 1);
    const std::string last(reinterpret_cast<const char*>(entries.back().bytes), entries.back().length);
    EXPECT_EQ(last, "note " + std::to_string(kNotes - 1));
}

}  // namespace
