// The shipped HidDevice.dll on Wine's HID stack, with the virtual mouse plugged in and out
// as a user does: what it finds, what reaches the agent's window and callback, what the
// mouse receives, and what plugging leaves behind.
#include <windows.h>
#include <dbt.h>
// mingw's HID headers declare C functions without saying so.
extern "C" {
#include <hidsdi.h>
}

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "CollectionFilter.h"
#include "HidCollectionSource.h"
#include "HidTestSupport.h"
#include "MouseModel.h"
#include "ReportText.h"
#include "SettingsImage.h"
#include "SettingsToolContract.h"
#include "SettingsUpload.h"
#include "Tern7Layout.h"
#include "TestProcess.h"
#include "VirtualMouse.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kKeys = 2;    // the main collection: the keys' reports
constexpr std::uint16_t kVendor = 3;  // reported second: it takes the writes

const std::vector<Notice> kBothOpen{{true, kKeys}, {true, kVendor}};
// Last opened, first closed.
const std::vector<Notice> kBothClosed{{false, kVendor}, {false, kKeys}};

std::string Hex(const Bytes& bytes) { return simmouse::FormatHex(bytes); }

// A key report whose two code bytes count: reordering, loss or corruption all show.
Bytes NumberedKeyReport(std::uint32_t n) {
    return {simmouse::kKeyReportId, static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8)};
}

std::uint32_t NumberOf(const RecordedInput& input) {
    return input.FirstNineBytes[1] | static_cast<std::uint32_t>(input.FirstNineBytes[2]) << 8;
}

class HidStackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mouse.Ready());
        ASSERT_TRUE(library.Loaded()) << "the built HidDevice.dll must load";
        RecordedInputs().clear();
    }
    void TearDown() override {
        if (library.Loaded()) library.Stop();
    }

    std::int32_t StartLikeTheAgent() {
        const hid::DeviceFilter filter = hid::MakeMouseFilter(TERN7_VENDOR_ID);
        library.SetFilter(&filter);
        library.SetCallback(&RecordInput);
        return library.Start(notices.Handle(), hid::kMsgDeviceMonitor);
    }

    // The notices that came after the first `first`, once `count` of them have.
    std::vector<Notice> NoticesAfter(std::size_t first, std::size_t count, DWORD timeoutMs = 10000) {
        const std::vector<Notice> all = notices.WaitFor(first + count, timeoutMs);
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(first, all.size())), all.end()};
    }

    void Plug() {
        const std::size_t before = notices.notices.size();
        ASSERT_EQ(mouse.Run(L"attach").ExitCode, 0u);
        ASSERT_EQ(NoticesAfter(before, 2), kBothOpen);
    }

    void Unplug() {
        const std::size_t before = notices.notices.size();
        ASSERT_EQ(mouse.Run(L"detach").ExitCode, 0u);
        ASSERT_EQ(NoticesAfter(before, 2), kBothClosed);
    }

    bool Inject(const Bytes& report) {
        return mouse.Bus().SendInput(virtualmouse::kKeyChild, static_cast<std::uint32_t>(report.size()), report) ==
               ERROR_SUCCESS;
    }

    bool WaitForInputs(std::size_t count, DWORD timeoutMs = 10000) {
        return PumpUntil([&] { return RecordedInputs().size() >= count; }, timeoutMs);
    }

    std::int32_t Write(std::uint32_t deviceId, const Bytes& report) {
        return library.Write(deviceId, report.data(), static_cast<std::uint32_t>(report.size()));
    }

    VirtualMouse mouse{false};
    HidLibrary library{BuiltLibraryPath()};
    NoticeWindow notices;
};

// Suites of their own, so that they can run side by side in sessions of their own.
using HidStackEnumeration = HidStackTest;
using HidStackInput = HidStackTest;
using HidStackWrites = HidStackTest;
using HidStackPlugging = HidStackTest;

// The Tern-7's collections as the system lists them, and which of them the filter takes.
TEST_F(HidStackEnumeration, EnumerationFindsExactlyTheMousesTwoCollectionsOfOneDevice) {
    ASSERT_EQ(mouse.Run(L"attach").ExitCode, 0u);
    const hiddevice::CollectionFilter filter(hid::MakeMouseFilter(TERN7_VENDOR_ID));
    std::vector<hiddevice::ProbedCollection> matching;
    bool pointerListed = false;
    for (const hiddevice::ProbedCollection& collection : hiddevice::HidCollectionSource().Present()) {
        const auto& a = collection.Attributes;
        std::printf("%ls\n  vid %04x pid %04x page %04x usage %04x input %u output %u key %ls\n",
                    collection.Path.c_str(), a.VendorId, a.ProductId, a.UsagePage, a.Usage, collection.Lengths.Input,
                    collection.Lengths.Output, collection.DeviceKey.c_str());
        pointerListed = pointerListed || (a.VendorId == TERN7_VENDOR_ID && a.UsagePage == 1 && a.Usage == 2);
        if (filter.MatchingPair(a)) matching.push_back(collection);
    }
    EXPECT_TRUE(pointerListed) << "the pointer collection a real mouse has is there, and the filter passes it by";

    ASSERT_EQ(matching.size(), 2u) << "nothing else, not Wine's own mouse and keyboard";
    std::sort(matching.begin(), matching.end(),
              [](const auto& a, const auto& b) { return a.Attributes.UsagePage < b.Attributes.UsagePage; });
    EXPECT_EQ(matching[0].Attributes.UsagePage, 0x000C);
    EXPECT_EQ(matching[0].Lengths.Input, virtualmouse::kKeyReportLength);
    EXPECT_EQ(matching[0].Lengths.Output, 0u);
    EXPECT_EQ(matching[1].Attributes.UsagePage, 0xFF00);
    EXPECT_EQ(matching[1].Lengths.Output, hid::kOutputReportLength);
    EXPECT_EQ(matching[0].DeviceKey, matching[1].DeviceKey) << "one physical device";
    EXPECT_EQ(matching[0].DeviceKey.rfind(L"container:", 0), 0u);

    // Opened as the library opens it, a collection keeps as many reports as the system can
    // for a reader that falls behind.
    const UniqueKernelHandle keys = hiddevice::HidCollectionSource().Open(matching[0].Path);
    ASSERT_TRUE(keys);
    ULONG buffers = 0;
    EXPECT_TRUE(HidD_GetNumInputBuffers(keys.get(), &buffers));
    EXPECT_EQ(buffers, 512u);
}

TEST_F(HidStackEnumeration, TheKeysOpenAsTheMainCollectionAndTheVendorCollectionTakesTheWrites) {
    EXPECT_EQ(StartLikeTheAgent(), 0) << "nothing to open yet";
    Plug();
    EXPECT_EQ(notices.notices, kBothOpen) << "and nothing else opened";

    Bytes report(hid::kOutputReportLength);
    for (std::size_t i = 0; i < report.size(); ++i) report[i] = static_cast<std::uint8_t>(i * 7);
    report[0] = 0;
    ASSERT_EQ(Write(kVendor, report), 1);
    EXPECT_EQ(mouse.Log(), std::vector<std::string>{"write 3 ok " + Hex(report)});

    SetLastError(0);
    EXPECT_EQ(Write(kKeys, report), 0) << "the keys' collection takes no output reports";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(mouse.Log().size(), 1u);

    // Started with the mouse already there, the library opens it at once.
    library.Stop();
    PumpFor(0);  // the stop's close notices
    const std::size_t before = notices.notices.size();
    EXPECT_EQ(StartLikeTheAgent(), 1);
    EXPECT_EQ(NoticesAfter(before, 2), kBothOpen);
}

TEST_F(HidStackInput, InputReportsArriveByteExactInOrderOnTheSessionsThread) {
    StartLikeTheAgent();
    Plug();
    const std::vector<Bytes> sent{{3, 0x20, 0}, {3, 0x01, 0}, {3, 0xE9, 0}, {3, 0xFE, 0}, {3, 0x30, 0x12}};
    for (const Bytes& report : sent) ASSERT_TRUE(Inject(report));
    ASSERT_TRUE(WaitForInputs(sent.size()));
    ASSERT_EQ(RecordedInputs().size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const RecordedInput& input = RecordedInputs()[i];
        EXPECT_EQ(input.DeviceId, kKeys);
        EXPECT_EQ(input.Length, 3u);
        EXPECT_EQ(Bytes(input.FirstNineBytes.begin(), input.FirstNineBytes.begin() + 3), sent[i]) << i;
        EXPECT_EQ(Bytes(input.FirstNineBytes.begin() + 3, input.FirstNineBytes.end()), Bytes(6, 0))
            << "the rest of the nine bytes the agent reads";
        EXPECT_EQ(input.Thread, GetCurrentThreadId());
    }
}

// A flood at the mouse's own pace, one report a millisecond, in bursts that stay within
// what the system and the library hold for a reader that falls behind: on a machine too
// busy to read a thousand reports a second the system drops the excess (as it does on a
// desk); none of these may be lost.
TEST_F(HidStackInput, AFloodOfTwoThousandReportsLosesNoneWhileTheCallerKeepsUp) {
    constexpr std::uint32_t kFlood = 2000;
    constexpr std::uint32_t kBurst = 400;
    StartLikeTheAgent();
    Plug();
    for (std::uint32_t first = 0; first < kFlood; first += kBurst) {
        Bytes reports;
        for (std::uint32_t n = first; n < first + kBurst; ++n) {
            const Bytes report = NumberedKeyReport(n);
            reports.insert(reports.end(), report.begin(), report.end());
        }
        ASSERT_EQ(mouse.Bus().SendInput(virtualmouse::kKeyChild, 3, reports), static_cast<DWORD>(ERROR_SUCCESS));
        ASSERT_TRUE(WaitForInputs(first + kBurst, 30000)) << RecordedInputs().size() << " arrived";
    }
    ASSERT_EQ(RecordedInputs().size(), kFlood);
    for (std::uint32_t n = 0; n < kFlood; ++n) ASSERT_EQ(NumberOf(RecordedInputs()[n]), n);
}

// While the caller takes nothing the library holds what it can (the oldest; the stand-in
// tests show exactly which) and drops the rest; a machine too busy for the library's
// reader to take a thousand reports a second drops some before the library sees them.
TEST_F(HidStackInput, AFloodTheCallerDoesNotTakeComesInOrderAndBounded) {
    constexpr std::uint32_t kFlood = 2000;
    constexpr std::size_t kMostHeld = 512 + 512;  // the library's queue and the system's for the handle
    StartLikeTheAgent();
    Plug();
    Bytes reports;
    for (std::uint32_t n = 0; n < kFlood; ++n) {
        const Bytes report = NumberedKeyReport(n);
        reports.insert(reports.end(), report.begin(), report.end());
    }
    ASSERT_EQ(mouse.Bus().SendInput(virtualmouse::kKeyChild, 3, reports), static_cast<DWORD>(ERROR_SUCCESS));
    // This thread takes no messages until the mouse has sent everything.
    vmouse_state state{};
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (mouse.Bus().ReadState(state) == ERROR_SUCCESS && state.inputs_sent[virtualmouse::kKeyChild] < kFlood &&
           GetTickCount64() < deadline) {
        Sleep(20);
    }
    ASSERT_EQ(state.inputs_sent[virtualmouse::kKeyChild], kFlood);
    // A report sent after the flood comes after whatever of the flood is still on its way;
    // one that finds the library's queue still full is dropped too, and sent again.
    constexpr std::uint32_t kFirstMarker = 0xF000;
    const auto markerCame = [] {
        return !RecordedInputs().empty() && NumberOf(RecordedInputs().back()) >= kFirstMarker;
    };
    std::uint32_t marker = kFirstMarker;
    for (int attempt = 0; attempt < 20 && !markerCame(); ++attempt) {
        ASSERT_TRUE(Inject(NumberedKeyReport(marker++)));
        PumpUntil(markerCame, 1000);
    }
    ASSERT_TRUE(markerCame());

    const auto& inputs = RecordedInputs();
    const auto flood = std::count_if(inputs.begin(), inputs.end(),
                                     [](const RecordedInput& input) { return NumberOf(input) < kFlood; });
    EXPECT_EQ(NumberOf(inputs.front()), 0u) << "the oldest is kept";
    EXPECT_LE(static_cast<std::size_t>(flood), kMostHeld) << "a busy caller's reports are bounded";
    for (std::size_t i = 1; i < inputs.size(); ++i) ASSERT_LT(NumberOf(inputs[i - 1]), NumberOf(inputs[i])) << i;
    for (const RecordedInput& input : inputs) {
        ASSERT_EQ(input.Length, 3u);
        ASSERT_EQ(input.FirstNineBytes[0], simmouse::kKeyReportId);
    }
}

// The 27 reports of an apply, written as the agent's upload writes them.
TEST_F(HidStackWrites, TheReportsOfAnApplyArriveByteExactOnTheVendorCollection) {
    class LibraryWriter : public DeviceReportWriter {
    public:
        explicit LibraryWriter(HidLibrary& library) : library_(library) {}
        bool WriteReport(std::uint32_t deviceId, const OutputReport& report) override {
            written.push_back("write 3 ok " + Hex(Bytes(report.begin(), report.end())));
            return library_.Write(deviceId, report.data(), static_cast<std::uint32_t>(report.size())) != 0;
        }
        void Pause(int) override {}
        std::vector<std::string> written;

    private:
        HidLibrary& library_;
    };

    StartLikeTheAgent();
    Plug();
    SettingsImage settings = DefaultSettings();
    settings.Profile = 1;
    settings.PollingRate = 1;
    LibraryWriter writer(library);
    EXPECT_EQ(WriteProfileReports(writer, kVendor, settings, 1, 0), settings_tool::kApplySent);
    EXPECT_EQ(WriteGlobalSettingsReport(writer, kVendor, settings, 0), settings_tool::kApplySent);
    ASSERT_EQ(writer.written.size(), 27u);
    EXPECT_EQ(mouse.Log(), writer.written);

    const std::string state = mouse.Run(L"state").Output;
    EXPECT_NE(state.find("stored: 2\n"), std::string::npos) << state;
    EXPECT_NE(state.find("global: profile=2"), std::string::npos) << state;
}

TEST_F(HidStackWrites, AFailingWriteIsReportedAndTheNextOneGoesThrough) {
    StartLikeTheAgent();
    Plug();
    const Bytes report(hid::kOutputReportLength, 0);
    ASSERT_EQ(mouse.Run(L"fail 2").ExitCode, 0u);
    EXPECT_EQ(Write(kVendor, report), 1);
    SetLastError(0);
    EXPECT_EQ(Write(kVendor, report), 0);
    EXPECT_NE(GetLastError(), 0u) << "the agent's diagnostic line says why";
    EXPECT_EQ(Write(kVendor, report), 1);

    ASSERT_EQ(mouse.Run(L"fail all").ExitCode, 0u);
    EXPECT_EQ(Write(kVendor, report), 0);
    const std::vector<std::string> log = mouse.Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[1].rfind("write 3 failed", 0), 0u);
    EXPECT_EQ(log[3].rfind("write 3 failed", 0), 0u);
}

// The library waits a second for a write; a mouse that takes longer has not taken it.
TEST_F(HidStackWrites, AWriteTheMouseTakesTooLongForFailsAfterTheLibrarysTimeout) {
    constexpr DWORD kMouseTakesMs = 6000;
    StartLikeTheAgent();
    Plug();
    ASSERT_EQ(mouse.Run(L"slow " + std::to_wstring(kMouseTakesMs)).ExitCode, 0u);
    const Bytes report(hid::kOutputReportLength, 0);
    // Written from another thread while this one takes its messages: Wine stops sending
    // device notices to a process whose window thread stalls while they are under way.
    std::atomic<std::int32_t> written{-1};
    DWORD error = 0;
    ULONGLONG took = 0;
    std::thread writer([&] {
        const ULONGLONG start = GetTickCount64();
        const std::int32_t result = Write(kVendor, report);
        error = GetLastError();
        took = GetTickCount64() - start;
        written = result;
    });
    PumpUntil([&] { return written != -1; }, kMouseTakesMs + 5000);
    writer.join();
    EXPECT_EQ(written.load(), 0);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_LT(took, kMouseTakesMs - 1000) << "the call returned with the device still busy";

    ASSERT_EQ(mouse.Run(L"slow 0").ExitCode, 0u);
    // The slow write still ends inside the mouse; the next one is not held up by it for ever.
    EXPECT_TRUE(PumpUntil([&] { return Write(kVendor, report) == 1; }, kMouseTakesMs + 5000));
}

TEST_F(HidStackPlugging, UnplugClosesLastOpenedFirstEndsTheReadsAndReplugOpensAgain) {
    StartLikeTheAgent();
    const DWORD threadsWithoutMouse = CountHoldings().Threads;
    Plug();
    EXPECT_GT(CountHoldings().Threads, threadsWithoutMouse) << "readers wait on both collections";

    Unplug();
    // The pending reads ended: the readers are gone.
    EXPECT_TRUE(PumpUntil([&] { return CountHoldings().Threads == threadsWithoutMouse; }, 5000));
    SetLastError(0);
    const Bytes report(hid::kOutputReportLength, 0);
    EXPECT_EQ(Write(kVendor, report), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));

    Plug();
    ASSERT_TRUE(Inject({3, 0x10, 0}));
    EXPECT_TRUE(WaitForInputs(1));
    EXPECT_EQ(Write(kVendor, report), 1);
}

TEST_F(HidStackPlugging, PlugCyclesLeaveHandlesAndThreadsFlat) {
    StartLikeTheAgent();
    // One cycle first: the system caches what it needs once per process.
    Plug();
    Unplug();
    PumpFor(0);
    const ProcessHoldings before = CountHoldings();
    constexpr int kCycles = 4;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        Plug();
        Unplug();
    }
    ProcessHoldings after = CountHoldings();
    PumpUntil(
        [&] { return (after = CountHoldings()).Threads == before.Threads && after.Handles <= before.Handles + 2; },
        5000);
    std::printf("holdings before/after %d plug cycles: handles %lu/%lu, threads %lu/%lu\n", kCycles, before.Handles,
                after.Handles, before.Threads, after.Threads);
    EXPECT_LE(after.Handles, before.Handles + 2);
    EXPECT_EQ(after.Threads, before.Threads);
}

// Replaces the library's window procedure to hold back the system's device notices.
class NoticeBlocker {
public:
    explicit NoticeBlocker(HWND window) : window_(window) {
        Instance() = this;
        original_ =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~NoticeBlocker() {
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        Instance() = nullptr;
    }
    NoticeBlocker(const NoticeBlocker&) = delete;
    NoticeBlocker& operator=(const NoticeBlocker&) = delete;
    int arrivalsWithheld = 0;

private:
    static NoticeBlocker*& Instance() {
        static NoticeBlocker* instance = nullptr;
        return instance;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        NoticeBlocker* self = Instance();
        if (message == WM_DEVICECHANGE) {
            if (wParam == DBT_DEVICEARRIVAL) ++self->arrivalsWithheld;
            return TRUE;
        }
        return CallWindowProcW(self->original_, window, message, wParam, lParam);
    }
    HWND window_;
    WNDPROC original_ = nullptr;
};

// Without the removal notice the failed reads close the collections; without the arrival
// notice nothing opens until the next notice makes the library look again.
TEST_F(HidStackPlugging, WithheldNoticesAreCaughtUpWith) {
    StartLikeTheAgent();
    Plug();
    const auto windows = MonitorWindows();
    ASSERT_EQ(windows.size(), 1u);
    {
        NoticeBlocker blocker(windows.front());
        std::size_t before = notices.notices.size();
        ASSERT_EQ(mouse.Run(L"detach").ExitCode, 0u);
        EXPECT_EQ(NoticesAfter(before, 2), kBothClosed);

        before = notices.notices.size();
        ASSERT_EQ(mouse.Run(L"attach").ExitCode, 0u);
        // Each collection's arrival went to the blocker; nothing opened on its own.
        EXPECT_TRUE(
            PumpUntil([&] { return blocker.arrivalsWithheld >= static_cast<int>(virtualmouse::kChildCount); }, 5000))
            << "the stack announces each collection";
        PumpFor(0);
        EXPECT_EQ(notices.notices.size(), before);
    }
    // The next notice, of any device, has the library look again.
    const std::size_t before = notices.notices.size();
    AnnounceDeviceChange(windows.front(), DBT_DEVICEARRIVAL);
    EXPECT_EQ(NoticesAfter(before, 2), kBothOpen);
}

}  // namespace
