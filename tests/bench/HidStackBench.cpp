// The shipped HidDevice.dll on Wine's HID stack with the virtual mouse, against the bare
// system calls on the same collections, in one run: a report from the mouse to the
// caller's thread, the 27 writes of an apply, and what 100 plug cycles leave behind.
#include <windows.h>

#include <cstdio>
#include <optional>
#include <thread>
#include <vector>

#include "BenchFigures.h"
#include "HidTestSupport.h"
#include "RawCollection.h"
#include "SettingsImage.h"
#include "SettingsUpload.h"
#include "Tern7Layout.h"
#include "TestProcess.h"
#include "VirtualMouse.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kVendorId = 3;
constexpr int kReportSamples = 400;
constexpr int kApplySamples = 60;
constexpr int kPlugCycles = 100;
constexpr double kNoticeMedianGoal = 1.5;
constexpr double kNoticeP99Goal = 3.0;
constexpr double kApplyGoal = 1.2;
// Apart by more than the mouse's millisecond, so that no report waits for its turn.
constexpr DWORD kReportGapMs = 3;
constexpr UINT kBareNotice = WM_APP + 7;

long long g_noticeAt = 0;

void __stdcall NoteReport(std::uint32_t, const std::uint8_t*, std::uint32_t) { g_noticeAt = CounterNow(); }

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kBareNotice) {
        g_noticeAt = CounterNow();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Sends one key report and pumps until something noted its arrival; the time it took.
double OneReport(const VirtualMouse& mouse, std::uint8_t code) {
    const Bytes report{3, code, 0};
    g_noticeAt = 0;
    const long long sent = CounterNow();
    if (mouse.Bus().SendInput(virtualmouse::kKeyChild, 3, report) != ERROR_SUCCESS) return -1;
    if (!PumpUntil([] { return g_noticeAt != 0; }, 5000)) return -1;
    return Milliseconds(sent, g_noticeAt);
}

class Bench {
public:
    Bench() {
        const hid::DeviceFilter filter = hid::MakeMouseFilter(TERN7_VENDOR_ID);
        library_.SetFilter(&filter);
        library_.SetCallback(&NoteReport);
    }
    bool Ready() const { return mouse_.Ready() && library_.Loaded(); }

    bool Plug() { return mouse_.Run(L"attach").ExitCode == 0; }

    // Reports through the library, and through a thread of bare reads that posts each one
    // to a window of this thread; blocks of each in turn.
    void ReportToNotice(RatioTable& ratios) {
        std::vector<double> library, bare;
        constexpr int kBlock = 50;
        for (int block = 0; block < kReportSamples / kBlock; ++block) {
            Measure(library, kBlock, true);
            Measure(bare, kBlock, false);
        }
        Report("report to notice, HidDevice.dll", library);
        Report("report to notice, bare ReadFile + PostMessage", bare);
        ratios.Add("report to notice through HidDevice.dll, median", Median(library), Median(bare), "ms",
                   kNoticeMedianGoal);
        ratios.Add("report to notice through HidDevice.dll, p99", Percentile(library, 0.99), Percentile(bare, 0.99),
                   "ms", kNoticeP99Goal);
    }

    // The 27 writes of an apply, with the agent's pauses left out.
    void ApplyWrites(RatioTable& ratios) {
        const SettingsImage settings = DefaultSettings();
        std::vector<OutputReport> reports;
        RecordingWriter recorder(reports);
        WriteProfileReports(recorder, kVendorId, settings, 0, 0);
        WriteGlobalSettingsReport(recorder, kVendorId, settings, 0);

        std::vector<double> library, bare;
        library_.Start(notices_.Handle(), hid::kMsgDeviceMonitor);
        notices_.WaitFor(notices_.notices.size() + 2);
        RawCollection vendor(virtualmouse::kVendorChild);
        for (int sample = 0; sample < kApplySamples; ++sample) {
            library.push_back(TimeOnce([&] {
                for (const OutputReport& report : reports) library_.Write(kVendorId, report.data(), report.size());
            }));
            bare.push_back(TimeOnce([&] {
                for (const OutputReport& report : reports) vendor.Write(Bytes(report.begin(), report.end()));
            }));
        }
        library_.Stop();
        PumpFor(0);
        Report("27 writes of an apply, HidDevice.dll", library);
        Report("27 writes of an apply, bare WriteFile", bare);
        ratios.Add(Format("%zu writes of an apply through HidDevice.dll, median", reports.size()), Median(library),
                   Median(bare), "ms", kApplyGoal);
    }

    void PlugCycles(SummaryTable& table) {
        mouse_.Run(L"detach");
        library_.Start(notices_.Handle(), hid::kMsgDeviceMonitor);
        Cycle();  // the system caches what it needs once per process
        const ProcessHoldings before = CountHoldings();
        const long long start = CounterNow();
        int completed = 0;
        for (int cycle = 0; cycle < kPlugCycles && Cycle(); ++cycle) ++completed;
        const double ms = Milliseconds(start, CounterNow());
        ProcessHoldings after = CountHoldings();
        PumpUntil([&] { return (after = CountHoldings()).Threads == before.Threads; }, 5000);
        library_.Stop();
        table.Add(Format("%d plug cycles with HidDevice.dll monitoring", completed),
                  Format("handles %lu -> %lu, threads %lu -> %lu, %.0f ms a cycle", before.Handles, after.Handles,
                         before.Threads, after.Threads, completed ? ms / completed : 0.0));
    }

private:
    class RecordingWriter : public DeviceReportWriter {
    public:
        explicit RecordingWriter(std::vector<OutputReport>& reports) : reports_(reports) {}
        bool WriteReport(std::uint32_t, const OutputReport& report) override {
            reports_.push_back(report);
            return true;
        }
        void Pause(int) override {}

    private:
        std::vector<OutputReport>& reports_;
    };

    void Measure(std::vector<double>& samples, int count, bool throughLibrary) {
        std::optional<BareReader> reader;
        if (throughLibrary) {
            library_.Start(notices_.Handle(), hid::kMsgDeviceMonitor);
            notices_.WaitFor(notices_.notices.size() + 2);
        } else {
            reader.emplace(bareWindow_);
        }
        for (int i = 0; i < count; ++i) {
            const double ms = OneReport(mouse_, static_cast<std::uint8_t>(0x10 + i % 3));
            if (ms >= 0) samples.push_back(ms);
            Sleep(kReportGapMs);
        }
        if (throughLibrary) {
            library_.Stop();
            PumpFor(0);
        }
    }

    // Reads the keys' collection on a thread of its own and posts each report's arrival.
    class BareReader {
    public:
        explicit BareReader(HWND window)
            : keys_(virtualmouse::kKeyChild), stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
            thread_ = std::thread([this, window] {
                while (WaitForSingleObject(stop_.get(), 0) == WAIT_TIMEOUT) {
                    if (!keys_.StartRead()) return;
                    const HANDLE wake[] = {stop_.get(), keys_.ReadDone()};
                    if (WaitForMultipleObjects(2, wake, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
                    if (keys_.FinishRead(0)) PostMessageW(window, kBareNotice, 0, 0);
                }
            });
        }
        ~BareReader() {
            SetEvent(stop_.get());
            thread_.join();
        }
        BareReader(const BareReader&) = delete;
        BareReader& operator=(const BareReader&) = delete;

    private:
        RawCollection keys_;
        UniqueKernelHandle stop_;
        std::thread thread_;
    };

    bool Cycle() {
        const std::size_t before = notices_.notices.size();
        if (mouse_.Run(L"attach").ExitCode != 0 || notices_.WaitFor(before + 2).size() < before + 2) return false;
        return mouse_.Run(L"detach").ExitCode == 0 && notices_.WaitFor(before + 4).size() >= before + 4;
    }

    static HWND CreateBareWindow() {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &BareProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"HidStackBenchBare";
        RegisterClassExW(&windowClass);
        return CreateWindowExW(0, L"HidStackBenchBare", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }

    VirtualMouse mouse_{false};
    HidLibrary library_{BuiltLibraryPath()};
    NoticeWindow notices_;
    HWND bareWindow_ = CreateBareWindow();
};

}  // namespace

int wmain() {
    std::printf("HidDevice.dll on Wine's HID stack, with the virtual mouse\n");
    Bench bench;
    if (!bench.Ready() || !bench.Plug()) {
        std::printf("the virtual mouse or the library is not there: nothing measured\n");
        return 1;
    }
    RatioTable ratios;
    SummaryTable table;
    bench.ReportToNotice(ratios);
    bench.ApplyWrites(ratios);
    bench.PlugCycles(table);
    table.Print();
    ratios.Print();
    return 0;
}
