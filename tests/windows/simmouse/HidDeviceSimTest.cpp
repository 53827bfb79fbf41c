// The simulated HidDevice.dll against a live simulated mouse, through the ordinals the
// agent uses.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "Handles.h"
#include "HidLibraryClient.h"
#include "SimMouseProcess.h"
#include "SimMouseRequest.h"
#include "TestProcess.h"

namespace {

using simtest::SimMouseProcesses;

const std::vector<Notice> kOpened{{true, 2}, {true, 3}};
const std::vector<Notice> kOpenedThenClosed{{true, 2}, {true, 3}, {false, 3}, {false, 2}};

class HidDeviceSim : public ::testing::Test {
protected:
    void SetUp() override {
        RecordedInputs().clear();
        SetEnvironmentVariableW(L"TERN7_SIMMOUSE_PIPE", pipe_.c_str());
        library_.emplace(simtest::ProgramFolder() + L"\\HidDevice.dll");
        ASSERT_TRUE(library_->Loaded()) << "cannot load the simulated HidDevice.dll";
    }

    void TearDown() override {
        if (library_ && library_->Loaded()) library_->Stop();
        PumpFor(0);  // the stop joined the reader: nothing posts after it
    }

    void UseMouseFilter() {
        const hid::DeviceFilter filter = hid::MakeMouseFilter(SIMMOUSE_VENDOR_ID);
        library_->SetFilter(&filter);
        library_->SetCallback(&RecordInput);
    }

    bool Tool(const std::wstring& arguments) { return AskSimMouse(pipe_, arguments).ExitCode == 0; }
    std::string ToolOutput(const std::wstring& arguments) { return AskSimMouse(pipe_, arguments).Output; }

    bool WaitForLog(const std::wstring& pattern) { return Tool(L"wait-log \"" + pattern + L"\" 5000"); }

    bool WaitForNotices(const std::vector<Notice>& expected, DWORD timeoutMs = 5000) {
        return window_.WaitFor(expected.size(), timeoutMs) == expected;
    }

    std::int32_t StartMonitoring() { return library_->Start(window_.Handle(), hid::kMsgDeviceMonitor); }
    void StopMonitoring() { library_->Stop(); }

    // A server with the mouse attached, and the library monitoring it.
    void MonitorAttachedMouse() {
        ASSERT_TRUE(processes_.StartServer(pipe_, L"--attached"));
        UseMouseFilter();
        ASSERT_EQ(StartMonitoring(), 1);
    }

    static std::vector<std::uint8_t> GlobalReport(std::uint8_t profileNumber) {
        std::vector<std::uint8_t> report(hid::kOutputReportLength, 0);
        report[1] = 7;
        report[2] = 1;
        report[3] = profileNumber;
        report[4] = 8;
        return report;
    }

    std::int32_t Write(std::uint32_t deviceId, const std::vector<std::uint8_t>& report) {
        return library_->Write(deviceId, report.data(), static_cast<std::uint32_t>(report.size()));
    }

    const std::wstring pipe_ = simtest::UniquePipeName();
    SimMouseProcesses processes_;
    NoticeWindow window_;
    // Loaded once the environment names the test's pipe.
    std::optional<HidLibrary> library_;
};

TEST_F(HidDeviceSim, AttachedMouseOpensMainThenSecondCollection) {
    ASSERT_TRUE(processes_.StartServer(pipe_, L"--attached"));
    UseMouseFilter();
    EXPECT_EQ(StartMonitoring(), 1);
    EXPECT_TRUE(WaitForNotices(kOpened));
    EXPECT_TRUE(WaitForLog(L"ordinal 7 vendor=3e71 product=0143 pairs=1:ff00,1:000c"));
    EXPECT_TRUE(WaitForLog(L"ordinal 8"));
    EXPECT_TRUE(WaitForLog(L"ordinal 2 -> 1"));

    StopMonitoring();
    EXPECT_TRUE(WaitForNotices(kOpenedThenClosed));
    EXPECT_TRUE(WaitForLog(L"ordinal 3"));
}

TEST_F(HidDeviceSim, NoServerMeansNoMouseUntilOneStarts) {
    UseMouseFilter();
    const ULONGLONG before = GetTickCount64();
    EXPECT_EQ(StartMonitoring(), 0);
    EXPECT_LT(GetTickCount64() - before, 2000u);
    PumpFor(0);
    EXPECT_TRUE(window_.notices.empty());

    // Anything said before the server came would come first and spoil the exact list.
    ASSERT_TRUE(processes_.StartServer(pipe_, L"--attached"));
    EXPECT_TRUE(WaitForNotices(kOpened, 10000));
}

TEST_F(HidDeviceSim, AttachOpensAndDetachClosesWhileMonitoring) {
    ASSERT_TRUE(processes_.StartServer(pipe_));
    UseMouseFilter();
    EXPECT_EQ(StartMonitoring(), 0);
    PumpFor(0);
    EXPECT_TRUE(window_.notices.empty());

    // The server's events reach the session in order: a notice without the mouse would
    // come before the attach's and spoil the exact list.
    ASSERT_TRUE(Tool(L"attach"));
    EXPECT_TRUE(WaitForNotices(kOpened));
    ASSERT_TRUE(Tool(L"detach"));
    EXPECT_TRUE(WaitForNotices(kOpenedThenClosed));
    ASSERT_TRUE(Tool(L"attach"));
    EXPECT_TRUE(PumpUntil([&] { return window_.notices.size() == 6; }, 5000));
}

TEST_F(HidDeviceSim, ServerThatQuitsClosesAndANewOneReopens) {
    ASSERT_NO_FATAL_FAILURE(MonitorAttachedMouse());
    ASSERT_TRUE(processes_.QuitServer(pipe_));
    EXPECT_TRUE(WaitForNotices(kOpenedThenClosed));

    ASSERT_TRUE(processes_.StartServer(pipe_, L"--attached"));
    EXPECT_TRUE(PumpUntil([&] { return window_.notices.size() == 6; }, 10000));
    ASSERT_EQ(window_.notices.size(), 6u);
    EXPECT_EQ(window_.notices[4], (Notice{true, 2}));
    EXPECT_EQ(window_.notices[5], (Notice{true, 3}));
}

TEST_F(HidDeviceSim, FilterThatDoesNotNameTheMouseSeesNothing) {
    ASSERT_TRUE(processes_.StartServer(pipe_, L"--attached"));
    hid::DeviceFilter filter = hid::MakeMouseFilter(SIMMOUSE_VENDOR_ID + 1);
    library_->SetFilter(&filter);
    EXPECT_EQ(StartMonitoring(), 0);
    StopMonitoring();

    filter = hid::MakeMouseFilter(SIMMOUSE_VENDOR_ID);
    filter.Pairs[0] = {1, 0x000C};
    filter.PairCount = 1;
    library_->SetFilter(&filter);
    EXPECT_EQ(StartMonitoring(), 0);
    StopMonitoring();

    library_->SetFilter(nullptr);  // ignored: the last filter stays
    EXPECT_TRUE(WaitForLog(L"ordinal 7 null"));
    EXPECT_EQ(StartMonitoring(), 0);
    PumpFor(0);  // the mouse's state is applied inside the start: its notices are posted by now
    EXPECT_TRUE(window_.notices.empty());
}


TEST_F(HidDeviceSim, InjectedReportReachesTheCallbackOnTheMonitoringThread) {
    ASSERT_NO_FATAL_FAILURE(MonitorAttachedMouse());
    ASSERT_TRUE(Tool(L"inject 03 20 00"));
    ASSERT_TRUE(PumpUntil([] { return !RecordedInputs().empty(); }, 5000));
    const RecordedInput& input = RecordedInputs()[0];
    EXPECT_EQ(input.Thread, GetCurrentThreadId());
    EXPECT_EQ(input.DeviceId, 3u);
    EXPECT_EQ(input.Length, 3u);
    EXPECT_EQ(input.FirstNineBytes, (std::vector<std::uint8_t>{3, 0x20, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(HidDeviceSim, KeyPressesArriveInOrder) {
    ASSERT_NO_FATAL_FAILURE(MonitorAttachedMouse());
    ASSERT_TRUE(Tool(L"press profile 2"));
    ASSERT_TRUE(Tool(L"press cpi 4"));
    ASSERT_TRUE(Tool(L"inject 05 01 02 03 04 05 06 07 08 09 0a --id 2"));
    ASSERT_TRUE(PumpUntil([] { return RecordedInputs().size() >= 3; }, 5000));
    EXPECT_EQ(RecordedInputs()[0].FirstNineBytes[1], 0x20);
    EXPECT_EQ(RecordedInputs()[1].FirstNineBytes[1], 0x04);
    EXPECT_EQ(RecordedInputs()[2].DeviceId, 2u);
    EXPECT_EQ(RecordedInputs()[2].Length, 11u);
}

TEST_F(HidDeviceSim, RepeatedReportsEachLogWhenTheCallbackWasCalled) {
    ASSERT_NO_FATAL_FAILURE(MonitorAttachedMouse());
    ASSERT_TRUE(Tool(L"clear-log"));
    LARGE_INTEGER before{}, after{};
    QueryPerformanceCounter(&before);
    // The request returns once the last one is sent; this thread delivers them meanwhile.
    ASSERT_TRUE(Tool(L"inject 03 e9 00 --repeat 3 --interval 20"));
    ASSERT_TRUE(PumpUntil([] { return RecordedInputs().size() >= 3; }, 5000));
    QueryPerformanceCounter(&after);
    ASSERT_TRUE(WaitForLog(L"delivered 3 qpc"));
    // A plain report after them as a barrier: reports arrive in order, so a fourth e9
    // would come before it.
    ASSERT_TRUE(Tool(L"inject 03 ea 00"));
    ASSERT_TRUE(PumpUntil([] { return RecordedInputs().back().FirstNineBytes[1] == 0xea; }, 5000));

    ASSERT_EQ(RecordedInputs().size(), 4u);
    RecordedInputs().pop_back();
    for (const RecordedInput& input : RecordedInputs()) EXPECT_EQ(input.FirstNineBytes[1], 0xe9);
    std::vector<long long> stamps;
    const std::string log = ToolOutput(L"log");
    for (std::size_t at = log.find("delivered 3 qpc "); at != std::string::npos;
         at = log.find("delivered 3 qpc ", at + 1)) {
        stamps.push_back(std::stoll(log.substr(at + 16)));
    }
    ASSERT_EQ(stamps.size(), 3u) << log;
    EXPECT_GT(stamps[0], before.QuadPart);
    EXPECT_LT(stamps[2], after.QuadPart);
    EXPECT_LT(stamps[0], stamps[1]);
    EXPECT_LT(stamps[1], stamps[2]);
}

TEST_F(HidDeviceSim, PlainInjectionsLogNoDelivery) {
    ASSERT_NO_FATAL_FAILURE(MonitorAttachedMouse());
    ASSERT_TRUE(Tool(L"inject 03 e9 00"));
    // A timed report after it as a barrier: a delivery of the plain one would be logged first.
    ASSERT_TRUE(Tool(L"inject 03 ea 00 --repeat 1 --interval 0"));
    ASSERT_TRUE(PumpUntil([] { return RecordedInputs().size() >= 2; }, 5000));
    ASSERT_TRUE(WaitForLog(L"delivered 3 qpc"));
    ASSERT_EQ(RecordedInputs().size(), 2u);
    const std::string log = ToolOutput(L"log");
    const std::size_t delivered = log.find("delivered");
    ASSERT_NE(delivered, std::string::npos) << log;
    EXPECT_EQ(log.find("delivered", delivered + 1), std::string::npos) << log;
}

TEST_F(HidDeviceSim, NullCallbackIsHarmless) {
    ASSERT_TRUE(processes_.StartServer(pipe_, L"--attached"));
    UseMouseFilter();
    library_->SetCallback(nullptr);
    ASSERT_EQ(StartMonitoring(), 1);
    ASSERT_TRUE(Tool(L"inject 03 10 00"));
    // The detach's notices come after the report in the same stream: once they are here,
    // the report met the null callback.
    ASSERT_TRUE(Tool(L"detach"));
    ASSERT_TRUE(WaitForNotices(kOpenedThenClosed));
    ASSERT_TRUE(Tool(L"attach"));
    ASSERT_TRUE(PumpUntil([&] { return window_.notices.size() == 6; }, 5000));
    library_->SetCallback(&RecordInput);
    ASSERT_TRUE(Tool(L"inject 03 30 00"));
    ASSERT_TRUE(PumpUntil([] { return !RecordedInputs().empty(); }, 5000));
    EXPECT_EQ(RecordedInputs().size(), 1u);
    EXPECT_EQ(RecordedInputs()[0].FirstNineBytes[1], 0x30);
}

TEST_F(HidDeviceSim, WritesToTheSecondCollectionAreTakenAndLogged) {
    ASSERT_NO_FATAL_FAILURE(MonitorAttachedMouse());
    EXPECT_EQ(Write(3, GlobalReport(2)), 1);
    EXPECT_TRUE(WaitForLog(L"write 3 ok 00 07 01 02 08 00"));
    const std::string state = ToolOutput(L"state");
    EXPECT_NE(state.find("profile: 2"), std::string::npos) << state;
    EXPECT_NE(state.find("global: profile=2 polling-rate=3"), std::string::npos) << state;
}

TEST_F(HidDeviceSim, WritesTheMouseCannotTakeFailAtOnce) {
    ASSERT_TRUE(processes_.StartServer(pipe_, L"--attached"));
    UseMouseFilter();
    EXPECT_EQ(Write(3, GlobalReport(1)), 0) << "no collection is open before monitoring";
    ASSERT_EQ(StartMonitoring(), 1);
    const ULONGLONG before = GetTickCount64();
    EXPECT_EQ(Write(3, std::vector<std::uint8_t>(32, 0)), 0);
    EXPECT_EQ(Write(3, std::vector<std::uint8_t>(34, 0)), 0);
    EXPECT_EQ(Write(7, GlobalReport(1)), 0);
    EXPECT_EQ(library_->Write(3, nullptr, hid::kOutputReportLength), 0);
    EXPECT_LT(GetTickCount64() - before, 100u);
    EXPECT_EQ(Write(2, GlobalReport(1)), 0) << "the main collection takes no output reports";
    const std::string log = ToolOutput(L"log");
    EXPECT_EQ(log.find("write 3"), std::string::npos) << log;
}

TEST_F(HidDeviceSim, FailureModesMakeWritesFail) {
    ASSERT_NO_FATAL_FAILURE(MonitorAttachedMouse());
    ASSERT_TRUE(Tool(L"fail all"));
    EXPECT_EQ(Write(3, GlobalReport(1)), 0);
    EXPECT_EQ(Write(3, GlobalReport(1)), 0);
    ASSERT_TRUE(Tool(L"fail none"));
    EXPECT_EQ(Write(3, GlobalReport(1)), 1);
    ASSERT_TRUE(Tool(L"fail 2"));
    EXPECT_EQ(Write(3, GlobalReport(1)), 1);
    EXPECT_EQ(Write(3, GlobalReport(2)), 0);
    EXPECT_EQ(Write(3, GlobalReport(3)), 1);
    EXPECT_TRUE(WaitForLog(L"write 3 failed 00 07 01 02"));
}

TEST_F(HidDeviceSim, WritesFailOnceTheMouseIsGone) {
    ASSERT_NO_FATAL_FAILURE(MonitorAttachedMouse());
    ASSERT_TRUE(Tool(L"detach"));
    ASSERT_TRUE(WaitForNotices(kOpenedThenClosed));
    EXPECT_EQ(Write(3, GlobalReport(1)), 0);
    ASSERT_TRUE(processes_.QuitServer(pipe_));
    EXPECT_EQ(Write(3, GlobalReport(1)), 0);
}

TEST_F(HidDeviceSim, StopIsHarmlessTwiceOrBeforeStartAndStartWorksAgain) {
    StopMonitoring();
    StopMonitoring();
    ASSERT_NO_FATAL_FAILURE(MonitorAttachedMouse());
    StopMonitoring();
    StopMonitoring();
    EXPECT_TRUE(WaitForNotices(kOpenedThenClosed));
    UseMouseFilter();
    EXPECT_EQ(StartMonitoring(), 1);
    EXPECT_TRUE(PumpUntil([&] { return window_.notices.size() == 6; }, 5000));
    EXPECT_EQ(Write(3, GlobalReport(1)), 1);
}

TEST_F(HidDeviceSim, StartStopCyclesLeakNoHandles) {
    ASSERT_TRUE(processes_.StartServer(pipe_, L"--attached"));
    UseMouseFilter();
    const auto handleCount = &CountOpenHandles;
    {
        // The count must move with the handles, or the comparison below proves nothing.
        const DWORD base = handleCount();
        UniqueKernelHandle probe(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_EQ(handleCount(), base + 1);
    }
    for (int warmUp = 0; warmUp < 3; ++warmUp) {
        ASSERT_EQ(StartMonitoring(), 1);
        StopMonitoring();
        PumpFor(0);
    }
    const DWORD before = handleCount();
    for (int cycle = 0; cycle < 50; ++cycle) {
        ASSERT_EQ(StartMonitoring(), 1) << "cycle " << cycle;
        StopMonitoring();
        PumpFor(0);
    }
    const DWORD after = handleCount();
    EXPECT_LE(after, before + 5) << "before " << before << ", after " << after;
    EXPECT_TRUE(PumpUntil([&] { return window_.notices.size() >= 53u * 4u; }, 5000));
    EXPECT_EQ(window_.notices.size(), 53u * 4u);
}

}  // namespace
