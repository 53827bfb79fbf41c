#include "MouseReplay.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "MouseReports.h"
#include "MouseState.h"
#include "Tern7Layout.h"

namespace virtualmouse {
namespace {

using namespace simmouse::testing;

// The driver's log, entry by entry.
class Log {
public:
    Log& Plug() { return Add(VMOUSE_LOG_PLUG, 0, 0, {}); }
    Log& Unplug() { return Add(VMOUSE_LOG_UNPLUG, 0, 0, {}); }
    Log& Write(const std::vector<std::uint8_t>& report, std::uint8_t outcome = VMOUSE_WRITE_TAKEN,
               std::uint32_t child = kVendorChild) {
        return Add(VMOUSE_LOG_WRITE, child, outcome, report);
    }
    Log& Note(const std::string& note) { return Add(VMOUSE_LOG_NOTE, 0, 0, {note.begin(), note.end()}); }
    Log& Upload(int profileNumber, const simmouse::SlotTable& table) {
        Write(HeaderReport(profileNumber)).Write(ParameterReport(0x5A));
        for (std::size_t page = 0; page < simmouse::kUploadPageCount; ++page) Write(PageReport(table, page));
        return *this;
    }
    const std::vector<vmouse_log_entry>& Entries() const { return entries_; }

private:
    Log& Add(std::uint8_t kind, std::uint32_t child, std::uint8_t outcome, const std::vector<std::uint8_t>& bytes) {
        vmouse_log_entry entry{};
        entry.sequence = static_cast<std::uint32_t>(entries_.size() + 1);
        entry.kind = kind;
        entry.child = static_cast<std::uint8_t>(child);
        entry.outcome = outcome;
        entry.length = static_cast<std::uint8_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), entry.bytes);
        entries_.push_back(entry);
        return *this;
    }
    std::vector<vmouse_log_entry> entries_;
};

TEST(MouseReplay, TheModelStoresWhatTheVendorCollectionTookAndTheKeysSelected) {
    Log log;
    log.Plug().Upload(2, TableWithKeyCode(2, 0xE9)).Write(GlobalReport(3, 1)).Note(CpiKeyNote(4));
    simmouse::MouseModel mouse = ReplayModel(log.Entries(), 0x3E71, true);
    EXPECT_TRUE(mouse.Profile(1).has_value());
    EXPECT_EQ(mouse.CurrentProfile(), 2u) << "the global settings select profile 3";
    EXPECT_EQ(mouse.CpiLevel(), 4);

    log.Note(ProfileKeyNote(2));
    mouse = ReplayModel(log.Entries(), 0x3E71, true);
    EXPECT_EQ(mouse.CurrentProfile(), 1u);
    const simmouse::PressResult button = mouse.PressButton(1);
    ASSERT_TRUE(button.report.has_value()) << "button 1 uses slot 2 of profile 2";
    EXPECT_EQ(button.report->bytes, (std::vector<std::uint8_t>{3, 0xE9, 0}));
}

TEST(MouseReplay, FailedWritesAndOtherCollectionsStoreNothingAndAnUnplugEndsAnUpload) {
    Log log;
    log.Plug().Write(GlobalReport(2, 0), VMOUSE_WRITE_FAILED).Write(GlobalReport(2, 0), VMOUSE_WRITE_GONE);
    log.Write(GlobalReport(2, 0), VMOUSE_WRITE_TAKEN, kKeyChild);
    EXPECT_FALSE(ReplayModel(log.Entries(), 0x3E71, true).Global().has_value());

    // Half an upload, then the mouse was pulled out: the rest after replugging is no upload.
    log.Write(HeaderReport(1)).Write(ParameterReport(1)).Unplug().Plug();
    for (std::size_t page = 0; page < simmouse::kUploadPageCount; ++page)
        log.Write(PageReport(TableWithKeyCode(0, 1), page));
    const simmouse::MouseModel mouse = ReplayModel(log.Entries(), 0x3E71, true);
    EXPECT_FALSE(mouse.Profile(0).has_value());
    EXPECT_FALSE(mouse.UploadInProgress());
}

TEST(MouseReplay, AttachmentIsTheDriversNowWhateverTheLogKept) {
    Log log;
    log.Plug();
    EXPECT_FALSE(ReplayModel(log.Entries(), 0x3E71, false).Attached());
    EXPECT_TRUE(ReplayModel(Log().Entries(), 0x3E71, true).Attached()) << "the plug fell out of the log";
}

TEST(MouseReplay, WriteLinesNameTheCollectionAndStartAtTheMark) {
    Log log;
    log.Plug().Write({0, 1, 2}).Write({0, 3}, VMOUSE_WRITE_FAILED).Note("press cpi 2").Write({0, 4}, VMOUSE_WRITE_GONE);
    EXPECT_EQ(WriteLines(log.Entries(), 0),
              (std::vector<std::string>{"write 3 ok 00 01 02", "write 3 failed 00 03", "write 3 failed 00 04"}));
    EXPECT_EQ(WriteLines(log.Entries(), 4), (std::vector<std::string>{"write 3 failed 00 04"}));
}

TEST(MouseReplay, TheWritePlanReadsAsTheToolSetIt) {
    using Kind = simmouse::FailurePlan::Kind;
    EXPECT_EQ(FailurePlanOf(0, 0).kind, Kind::None);
    EXPECT_EQ(FailurePlanOf(0, VMOUSE_FAIL_FOREVER).kind, Kind::All);
    const simmouse::FailurePlan third = FailurePlanOf(2, 1);
    EXPECT_EQ(third.kind, Kind::Nth);
    EXPECT_EQ(third.remaining, 3u);

    simmouse::MouseModel mouse(0x3E71, true);
    mouse.SetFailure(third);
    const std::vector<std::string> state = simmouse::DescribeState(mouse);
    EXPECT_NE(std::find(state.begin(), state.end(), "fail: write 3 from now"), state.end());
}

}  // namespace
}  // namespace virtualmouse
