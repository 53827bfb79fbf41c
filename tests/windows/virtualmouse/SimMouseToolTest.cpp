// simmouse.exe on the virtual mouse, as scripts and tests drive it: exit statuses and
// output of the program itself, and what each command does to the mouse as a program
// reading and writing its HID collections sees it.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "CollectionPresence.h"
#include "MouseReports.h"
#include "RawCollection.h"
#include "ReportText.h"
#include "Tern7Layout.h"
#include "TestProcess.h"
#include "VirtualMouse.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using virtualmouse::kKeyChild;
using virtualmouse::kVendorChild;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

double MillisecondsSince(LARGE_INTEGER start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

CommandResult RunTool(const std::wstring& arguments) {
    return RunCommand(L"\"" + kVirtualMouseFolder + L"simmouse.exe\" " + arguments);
}

TEST(SimMouseProgram, HelpNamesEveryCommandAndBadCommandLinesExitThree) {
    const CommandResult help = RunTool(L"--help");
    EXPECT_EQ(help.ExitCode, 0u);
    for (const char* command :
         {"install", "attach", "detach", "inject", "--id", "--repeat", "--interval", "fail", "slow", "press profile",
          "press cpi", "press button", "log", "clear-log", "state", "wait-log"}) {
        EXPECT_TRUE(Contains(help.Output, command)) << command;
    }
    for (const wchar_t* bad :
         {L"explode", L"press button", L"inject 3 20", L"inject 03 20 00 --repeat 0", L"inject 03 20 00 --interval 5",
          L"press cpi 2 --repeat 2", L"inject 03 --id 4", L"fail 0", L"slow soon", L"attach now"}) {
        EXPECT_EQ(RunTool(bad).ExitCode, 3u) << bad;
    }
}

// The session's template has the mouse installed, unplugged.
class SimMouseTool : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mouse.Ready()); }
    VirtualMouse mouse{false};
};

TEST_F(SimMouseTool, InstallFindsItThereAndAttachAndDetachShowAndHideTheCollections) {
    const CommandResult install = RunTool(L"install");
    EXPECT_EQ(install.ExitCode, 0u);
    EXPECT_TRUE(Contains(install.Output, "already installed")) << install.Output;
    EXPECT_TRUE(Contains(RunTool(L"state").Output, "attached: no"));
    EXPECT_EQ(RunTool(L"press profile 2").ExitCode, 1u) << "a detached mouse has no keys";
    EXPECT_EQ(RunTool(L"inject 03 20 00").ExitCode, 1u);

    ASSERT_EQ(RunTool(L"attach").ExitCode, 0u);
    EXPECT_EQ(virtualmouse::CountPresentCollections(TERN7_VENDOR_ID), virtualmouse::kChildCount)
        << "attach returns once the collections are there";
    EXPECT_TRUE(Contains(RunTool(L"attach").Output, "already attached"));
    EXPECT_TRUE(Contains(RunTool(L"state").Output, "attached: yes"));

    ASSERT_EQ(RunTool(L"detach").ExitCode, 0u);
    EXPECT_EQ(virtualmouse::CountPresentCollections(TERN7_VENDOR_ID), 0u);
    EXPECT_TRUE(Contains(RunTool(L"detach").Output, "already detached"));
}

TEST_F(SimMouseTool, KeysSendTheirReportsAndStateShowsWhatTheySelected) {
    ASSERT_EQ(mouse.Run(L"attach").ExitCode, 0u);
    RawCollection keys(kKeyChild);
    ASSERT_TRUE(keys.Opened());

    const CommandResult profile = RunTool(L"press profile 3");
    EXPECT_EQ(profile.ExitCode, 0u);
    EXPECT_TRUE(Contains(profile.Output, "sent 03 30 00")) << profile.Output;
    EXPECT_EQ(keys.Read(), (Bytes{3, 0x30, 0}));
    ASSERT_EQ(mouse.Run(L"press cpi 2").ExitCode, 0u);
    EXPECT_EQ(keys.Read(), (Bytes{3, 0x02, 0}));
    ASSERT_EQ(mouse.Run(L"inject 03 e9 00").ExitCode, 0u);
    EXPECT_EQ(keys.Read(), (Bytes{3, 0xE9, 0})) << "a raw report changes nothing the mouse selected";

    const std::string state = RunTool(L"state").Output;
    EXPECT_TRUE(Contains(state, "profile: 3")) << state;
    EXPECT_TRUE(Contains(state, "cpi: 2")) << state;
    EXPECT_TRUE(Contains(state, "stored: none")) << state;
    EXPECT_TRUE(Contains(mouse.Run(L"press button 1").Output, "no report")) << "nothing stored for it";
    EXPECT_EQ(mouse.Run(L"press cpi 5").ExitCode, 1u);
    EXPECT_EQ(mouse.Run(L"inject 03 20").ExitCode, 1u) << "the keys send 3-byte reports";
}

TEST_F(SimMouseTool, InjectRepeatsAndReachesTheCollectionItNames) {
    ASSERT_EQ(mouse.Run(L"attach").ExitCode, 0u);
    RawCollection keys(kKeyChild);
    RawCollection vendor(kVendorChild);
    ASSERT_TRUE(keys.Opened() && vendor.Opened());

    ASSERT_EQ(mouse.Run(L"inject 03 05 00 --repeat 3 --interval 2").ExitCode, 0u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(keys.Read(), (Bytes{3, 5, 0})) << i;

    Bytes vendorReport(virtualmouse::kVendorReportLength, 0x5A);
    vendorReport[0] = 0;
    ASSERT_EQ(mouse.Run(L"inject " + Wide(simmouse::FormatHex(vendorReport)) + L" --id 3").ExitCode, 0u);
    EXPECT_EQ(vendor.Read(), vendorReport);
}

// An upload written as the agent writes it, on the vendor collection's own handle.
TEST_F(SimMouseTool, LogPrintsEachWriteAndStateWhatTheMouseStored) {
    using namespace simmouse::testing;
    ASSERT_EQ(mouse.Run(L"attach").ExitCode, 0u);
    RawCollection vendor(kVendorChild);
    RawCollection keys(kKeyChild);
    ASSERT_TRUE(vendor.Opened() && keys.Opened());

    // Button 1 uses slot 2: a key-code record that sends 0xE9.
    const simmouse::SlotTable table = TableWithKeyCode(2, 0xE9);
    std::vector<Bytes> upload{HeaderReport(2), ParameterReport(0x5A)};
    for (std::size_t page = 0; page < simmouse::kUploadPageCount; ++page) upload.push_back(PageReport(table, page));
    upload.push_back(GlobalReport(2, 1));
    std::vector<std::string> expected;
    for (const Bytes& report : upload) {
        const RawCollection::Transfer write = vendor.Write(report);
        ASSERT_TRUE(write.ok) << write.error;
        EXPECT_EQ(write.written, report.size());
        expected.push_back("write 3 ok " + simmouse::FormatHex(report));
    }
    EXPECT_EQ(mouse.Log(), expected);
    const CommandResult printed = RunTool(L"log");
    EXPECT_EQ(printed.ExitCode, 0u);
    EXPECT_TRUE(Contains(printed.Output, expected.front()) && Contains(printed.Output, expected.back()));

    std::string state = RunTool(L"state").Output;
    EXPECT_TRUE(Contains(state, "stored: 2")) << state;
    EXPECT_TRUE(Contains(state, "global: profile=2 polling-rate=1")) << state;
    EXPECT_TRUE(Contains(mouse.Run(L"press button 1").Output, "sent 03 e9 00"));
    EXPECT_EQ(keys.Read(), (Bytes{3, 0xE9, 0}));

    ASSERT_EQ(RunTool(L"clear-log").ExitCode, 0u);
    EXPECT_TRUE(mouse.Log().empty());
    state = RunTool(L"state").Output;
    EXPECT_TRUE(Contains(state, "stored: 2")) << "what the mouse stored stays: " << state;
}

TEST_F(SimMouseTool, FailAndSlowShapeTheWritesAndWaitLogWaitsForOne) {
    ASSERT_EQ(mouse.Run(L"attach").ExitCode, 0u);
    RawCollection vendor(kVendorChild);
    ASSERT_TRUE(vendor.Opened());
    const Bytes report = simmouse::testing::GlobalReport(1, 0);

    ASSERT_EQ(RunTool(L"fail 2").ExitCode, 0u);
    EXPECT_TRUE(Contains(RunTool(L"state").Output, "fail: write 2 from now"));
    EXPECT_TRUE(vendor.Write(report).ok);
    const RawCollection::Transfer failed = vendor.Write(report);
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.error, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(vendor.Write(report).ok);
    ASSERT_EQ(mouse.Run(L"fail all").ExitCode, 0u);
    EXPECT_FALSE(vendor.Write(report).ok);
    ASSERT_EQ(mouse.Run(L"fail none").ExitCode, 0u);
    const std::vector<std::string> log = mouse.Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].rfind("write 3 ok", 0), 0u);
    EXPECT_EQ(log[1].rfind("write 3 failed", 0), 0u);
    EXPECT_EQ(log[2].rfind("write 3 ok", 0), 0u);
    EXPECT_EQ(log[3].rfind("write 3 failed", 0), 0u);

    ASSERT_EQ(mouse.Run(L"clear-log").ExitCode, 0u);
    EXPECT_EQ(RunTool(L"wait-log \"write 3\" 100").ExitCode, 1u) << "nothing was written since";
    constexpr DWORD kSlowMs = 300;
    ASSERT_EQ(RunTool(L"slow " + std::to_wstring(kSlowMs)).ExitCode, 0u);
    double took = 0;
    std::thread writer([&] {
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        vendor.Write(report);
        took = MillisecondsSince(start);
    });
    const CommandResult waited = RunTool(L"wait-log \"write 3 ok 00 07 01 01\" 10000");
    writer.join();
    EXPECT_EQ(waited.ExitCode, 0u);
    EXPECT_TRUE(Contains(waited.Output, "write 3 ok 00 07 01 01 01")) << waited.Output;
    EXPECT_GE(took, kSlowMs) << "a slow write takes at least its time";
    EXPECT_TRUE(Contains(RunTool(L"state").Output, "slow: 300 ms"));
}

}  // namespace
