// Prints what the agent costs under this system: its start-up, its settings load and
// write-back, the delay from a mouse report to the display's notice, the apply command
// against its floor, the memory and objects it and the tray companion hold before and
// after load, and an idle stretch that scripts/bench.sh watches from the outside.
// Each figure that has a goal is set against a baseline measured in the same run, since
// the machines are shared and absolute times move with the load on them.
#include <windows.h>
#include <timeapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AgentRig.h"
#include "BenchFigures.h"
#include "ConfigFile.h"
#include "HidTestSupport.h"
#include "IniFile.h"
#include "MessageClock.h"
#include "MouseModel.h"
#include "OsdContract.h"
#include "PointerSettings.h"
#include "ProcessGauge.h"
#include "SettingsToolContract.h"
#include "SettingsUpload.h"
#include "Tern7Layout.h"

namespace {

constexpr int kReports = 1000;
constexpr int kReportIntervalMs = 5;
// The volume-up key, whose notice the agent posts at once, and a code it ignores.
constexpr std::uint8_t kNoticeKey = 0xE9;
constexpr std::uint8_t kIgnoredKey = 0x00;
constexpr int kNoticeBlocks = 4;
constexpr int kApplyCommands = 100;
constexpr int kWarmUpApplies = 10;
// The profile's reports and the global one, each followed by the agent's pause, then the
// pause before the result.
constexpr int kApplyWrites = kProfileReportCount + 1;
constexpr double kApplyFloorMs = kApplyWrites * kWriteDelayMs + kApplyFinalPauseMs;
constexpr double kOwnOverheadGoalMs = 5;
// After every fifth apply command, its upload alone, twice.
constexpr int kAppliesPerReplay = 5;
constexpr int kReplayRounds = 2;
constexpr int kStartupRuns = 15;
constexpr double kStartupGoal = 1.5;
constexpr double kNoticeMedianGoal = 1.5;
constexpr double kNoticeP99Goal = 3;
constexpr DWORD kIdleSeconds = 10;
// Longer than the watcher's look, so it never sees the benchmark's own ending.
constexpr DWORD kIdleHoldMs = kIdleSeconds * 1000 + 2500;

std::wstring BenchFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// From process start until the program's window with this title answers: for the agent,
// the whole start-up sequence. The program is closed again afterwards.
double StartUntilAnswering(const std::wstring& program, const std::wstring& folder, const wchar_t* title) {
    ChildProcess child;
    HWND window = nullptr;
    const double ms = TimeOnce([&] {
        child.Start(L"\"" + program + L"\"", folder);
        window = WaitForAnsweringWindow(child.Id(), title, 30000);
    });
    PostMessageW(window, WM_CLOSE, 0, 0);
    child.WaitForExit(10000);
    return window ? ms : 0;
}

// The median settings load, for the apply command's breakdown.
double SettingsFileFigures(SummaryTable& table) {
    ProgramFolder work;
    work.Add(L"config.ini");
    IniFile config(work.File(L"config.ini"));
    SettingsImage image{};
    std::vector<double> loads, writes;
    for (int i = 0; i < 20; ++i) loads.push_back(TimeOnce([&] { LoadSettings(config, image); }));
    for (int i = 0; i < 5; ++i) writes.push_back(TimeOnce([&] { WriteConfigFile(config, image); }));
    Report("LoadSettings (default config.ini)", loads);
    Report("WriteConfigFile (187 keys, each flushed)", writes);
    table.Add("settings load, median", Format("%.2f ms", Median(loads)));
    table.Add("settings write-back, median", Format("%.1f ms", Median(writes)));
    return Median(loads);
}

constexpr wchar_t kBareWindowTitle[] = L"Tern7BenchBareWindow";

// The agent with the shipped library but no mouse plugged in, so without the 2000 ms
// pause, against the bare program; the two take turns so that other work on the machine
// falls on both alike.
void StartupFigures(SummaryTable& table, RatioTable& ratios) {
    const VirtualMouse unplugged{false};
    ProgramFolder install;
    install.AddAll({L"hid.exe", names::kHidDeviceDll, names::kConfigFile, names::kMacroListFile});
    const std::wstring agent = install.File(L"hid.exe");
    const std::wstring bare = BenchFolder() + L"bare_window.exe";
    std::vector<double> first, later, baseline;
    {
        ScratchFolder appData;
        AppDataRedirect redirect(appData.Path());
        first.push_back(StartUntilAnswering(agent, install.Path(), names::kAgentWindowTitle));
        for (int i = 0; i < kStartupRuns; ++i) {
            later.push_back(StartUntilAnswering(agent, install.Path(), names::kAgentWindowTitle));
            baseline.push_back(StartUntilAnswering(bare, install.Path(), kBareWindowTitle));
        }
    }
    Report("agent start-up, first run for the user", first);
    Report("agent start-up, later runs, no mouse", later);
    Report("bare window program start-up (baseline)", baseline);
    table.Add("agent start-up, first run", Format("%.0f ms", Median(first)));
    ratios.Add("agent start-up, no mouse attached, median", Median(later), Median(baseline), "ms", kStartupGoal);
}

// Pairs each sent stamp with the receipt of the notice it caused; empty when they do not
// pair up one to one.
std::vector<double> Latencies(const std::vector<long long>& sent, const std::vector<StampedMessage>& received) {
    std::vector<double> latencies;
    if (sent.size() != received.size()) return latencies;
    for (std::size_t i = 0; i < sent.size(); ++i) latencies.push_back(Milliseconds(sent[i], received[i].Counter));
    return latencies;
}

// One block of key reports with this code, each stamped as the mouse's driver takes it:
// from there to the display's receipt of the notice it caused. Empty when reports and
// notices do not pair up.
std::vector<double> TimedReports(const VirtualMouse& mouse, MessageClock& osd, std::uint8_t code, int count) {
    osd.Clear();
    const std::vector<std::uint8_t> report{simmouse::kKeyReportId, code, 0};
    std::vector<long long> sent;
    for (int i = 0; i < count; ++i) {
        const long long at = CounterNow();
        if (mouse.Bus().SendInput(virtualmouse::kKeyChild, 3, report) != ERROR_SUCCESS) break;
        sent.push_back(at);
        Sleep(kReportIntervalMs);
    }
    osd.WaitForCount(sent.size(), 10000);
    const std::vector<double> latencies = Latencies(sent, osd.Received());
    if (latencies.empty())
        std::printf("report-to-notice: %zu of %d reports sent, %zu notices received; no figure\n", sent.size(), count,
                    osd.Count());
    return latencies;
}

// The same number of reports read by a process of bare reads that posts a notice for each
// to the display; with a code the agent ignores, so that it adds no notices of its own.
std::vector<double> ReaderNotices(const VirtualMouse& mouse, MessageClock& osd, int count) {
    ChildProcess reader;
    if (!reader.Start(L"\"" + BenchFolder() + L"notice_reader.exe\"")) return {};
    // Reports sent before the reader opened the collection never reach it: the first one
    // it posts for tells that it reads.
    const std::vector<std::uint8_t> report{simmouse::kKeyReportId, kIgnoredKey, 0};
    osd.Clear();
    const bool reading = PumpUntil(
        [&] {
            mouse.Bus().SendInput(virtualmouse::kKeyChild, 3, report);
            return osd.WaitForCount(1, 100);
        },
        30000);
    PumpFor(100);  // primers still on their way
    std::vector<double> latencies;
    if (reading)
        latencies = TimedReports(mouse, osd, kIgnoredKey, count);
    else
        std::printf("notice reader: it never posted; no baseline\n");
    reader.Kill();
    return latencies;
}

// The agent's notices and the baseline's, in alternating blocks so that other work on
// the machine falls on both alike.
void ReportToNoticeFigures(const AgentRig& rig, MessageClock& osd, SummaryTable& table, RatioTable& ratios) {
    std::vector<double> agent, baseline;
    bool paired = true;
    for (int block = 0; block < kNoticeBlocks; ++block) {
        const std::vector<double> fromAgent = TimedReports(rig.Mouse(), osd, kNoticeKey, kReports / kNoticeBlocks);
        const std::vector<double> fromReader = ReaderNotices(rig.Mouse(), osd, kReports / kNoticeBlocks);
        paired = paired && !fromAgent.empty() && !fromReader.empty();
        agent.insert(agent.end(), fromAgent.begin(), fromAgent.end());
        baseline.insert(baseline.end(), fromReader.begin(), fromReader.end());
    }
    if (!paired) agent.clear();

    Report("report sent by the mouse to notice received", agent);
    std::printf("%-44s p99 %.3f ms  max %.3f ms\n", "", Percentile(agent, 0.99), Percentile(agent, 1.0));
    Report("bare ReadFile + FindWindowW + PostMessageW (baseline)", baseline);
    std::printf("%-44s p99 %.3f ms  max %.3f ms\n", "", Percentile(baseline, 0.99), Percentile(baseline, 1.0));
    table.Add(Format("report-to-notice, %d reports %d ms apart", kReports, kReportIntervalMs),
              agent.empty() ? "not measured: reports and notices do not pair up"
                            : Format("median %.3f ms, p99 %.3f ms", Median(agent), Percentile(agent, 0.99)));
    ratios.Add("report to notice, median", Median(agent), Median(baseline), "ms", kNoticeMedianGoal);
    ratios.Add("report to notice, p99", Percentile(agent, 0.99), Percentile(baseline, 0.99), "ms", kNoticeP99Goal);
}

// The upload alone: the last command's writes sent again through HidDevice.dll loaded in
// this process, each followed by its pause, as the agent sends them. The mouse takes the
// reports it already holds, so nothing changes for the agent. Per round, the time inside
// the write calls and in the pauses. The rounds are taken between the apply commands, so
// both see the same load on the machine.
struct UploadRounds {
    std::vector<double> Writing;
    std::vector<double> Pausing;
};

class UploadReplay {
public:
    UploadReplay() {
        const hid::DeviceFilter filter = hid::MakeMouseFilter(TERN7_VENDOR_ID);
        library_.SetFilter(&filter);
        ready_ = library_.Loaded() && library_.Start(notices_.Handle(), hid::kMsgDeviceMonitor) == 1;
    }
    ~UploadReplay() {
        if (library_.Loaded()) library_.Stop();
    }
    UploadReplay(const UploadReplay&) = delete;
    UploadReplay& operator=(const UploadReplay&) = delete;

    // The writes the mouse took, each sent `rounds` times.
    void Replay(const std::vector<LoggedWrite>& taken, int rounds, UploadRounds& times) {
        if (!ready_ || taken.empty()) return;
        // As the agent's upload runs: the system timer at 1 ms.
        const bool fine = timeBeginPeriod(1) == TIMERR_NOERROR;
        int refused = 0;
        for (int round = 0; round < rounds; ++round) {
            double writing = 0, pausing = 0;
            for (const LoggedWrite& write : taken) {
                const long long before = CounterNow();
                const bool ok = library_.Write(write.Collection, write.Bytes.data(),
                                               static_cast<std::uint32_t>(write.Bytes.size()));
                const long long written = CounterNow();
                Sleep(kWriteDelayMs);
                refused += !ok;
                writing += Milliseconds(before, written);
                pausing += Milliseconds(written, CounterNow());
            }
            times.Writing.push_back(writing);
            times.Pausing.push_back(pausing);
        }
        if (fine) timeEndPeriod(1);
        if (refused) std::printf("upload replay: %d writes refused\n", refused);
    }

private:
    HidLibrary library_{BuiltLibraryPath()};
    NoticeWindow notices_;
    bool ready_ = false;
};

struct ApplyTimes {
    std::vector<double> ToResult;
    std::vector<double> ToAgentFree;
    std::vector<double> Writes;           // the library's write calls of each command
    std::vector<LoggedWrite> LastWrites;  // the writes of the last command that the mouse took
    UploadRounds Upload;
    int NotSent = 0;
};

std::vector<LoggedWrite> TakenWrites(const VirtualMouse& mouse) {
    std::vector<LoggedWrite> taken = mouse.Writes();
    std::erase_if(taken, [](const LoggedWrite& write) { return !write.Ok; });
    return taken;
}

// The whole apply command as the settings tool sees it, from its post to the result, and
// until the agent is free again (the progress window closes after the result is sent).
// Each command starts on an idle agent.
void RunApplyCommands(const AgentRig& rig, const MessageClock& settingsTool, UploadReplay& replay, int count,
                      ApplyTimes& times) {
    for (int i = 0; i < count; ++i) {
        Answers(rig.AgentWindow(), 30000);
        rig.Mouse().Run(L"clear-log");
        const std::size_t before = settingsTool.Count();
        const long long posted = CounterNow();
        PostMessageW(rig.AgentWindow(), settings_tool::kMsgApplySettings, 0, 0);
        if (!settingsTool.WaitForCount(before + 1, 15000)) {
            ++times.NotSent;
            continue;
        }
        const StampedMessage done = settingsTool.Received().back();
        if (done.LParam != settings_tool::kApplySent) ++times.NotSent;
        times.ToResult.push_back(Milliseconds(posted, done.Counter));
        Answers(rig.AgentWindow(), 30000);
        times.ToAgentFree.push_back(Milliseconds(posted, CounterNow()));
        times.LastWrites = TakenWrites(rig.Mouse());
        times.Writes.push_back(static_cast<double>(times.LastWrites.size()));
        if (i % kAppliesPerReplay == kAppliesPerReplay - 1)
            replay.Replay(times.LastWrites, kReplayRounds, times.Upload);
    }
}

// The pause before the result, as the agent takes it: Sleep with the system timer at 1 ms.
double TimeFinalPause() {
    const bool fine = timeBeginPeriod(1) == TIMERR_NOERROR;
    std::vector<double> pauses;
    for (int i = 0; i < 5; ++i) pauses.push_back(TimeOnce([] { Sleep(kApplyFinalPauseMs); }));
    if (fine) timeEndPeriod(1);
    return Median(pauses);
}

// The apply command's change of the pointer settings, made from here with the default
// settings the agent applies too: three system settings, each announced to every
// top-level window on the desktop.
double PointerSettingsMs() {
    ProgramFolder work;
    work.Add(L"config.ini");
    IniFile config(work.File(L"config.ini"));
    SettingsImage image{};
    LoadSettings(config, image);
    RegistryKey mouseKey;
    if (!mouseKey.Open(L"HKEY_CURRENT_USER\\Control Panel\\Mouse", KEY_ALL_ACCESS)) return 0;
    std::vector<double> samples;
    for (int i = 0; i < 10; ++i)
        samples.push_back(TimeOnce([&] { ApplyPointerSettings(CurrentProfile(image), mouseKey, nullptr); }));
    Report("pointer settings change (made here)", samples);
    return Median(samples);
}

void ApplyFigures(const ApplyTimes& times, double settingsLoadMs, SummaryTable& table, RatioTable& ratios) {
    Report("apply command, post to result", times.ToResult);
    Report("apply command, post to agent free again", times.ToAgentFree);
    const UploadRounds& upload = times.Upload;
    Report("upload replayed: inside the write calls", upload.Writing);
    Report("upload replayed: in the pauses", upload.Pausing);
    const double finalPause = TimeFinalPause();
    const double pointerMs = PointerSettingsMs();

    const double total = Median(times.ToResult);
    const double writes = Median(times.Writes);
    const double inWrites = Median(upload.Writing);
    const double inPauses = Median(upload.Pausing) + finalPause;
    const double own = total - inWrites - inPauses;
    std::printf("%-44s %.0f writes: %.1f ms in writes, %.1f ms in pauses (final %.2f ms); own %.1f ms; not sent %d\n",
                "", writes, inWrites, inPauses, finalPause, own, times.NotSent);
    table.Add(Format("apply command to result, median of %zu", times.ToResult.size()),
              Format("%.1f ms%s", total, times.NotSent ? Format(", %d not sent", times.NotSent).c_str() : ""));
    table.Add("apply command until the agent is free, median", Format("%.1f ms", Median(times.ToAgentFree)));

    const bool measured = !times.ToResult.empty() && !upload.Writing.empty() && writes == kApplyWrites;
    if (!measured) {
        ratios.AddText("apply command", Format("%.1f ms, %.0f writes", total, writes), "", "-", "not measured");
        return;
    }
    ratios.AddText("apply command, post to result, median", Format("%.1f ms", total),
                   Format("floor %.0f ms", kApplyFloorMs), Format("x%.3f", total / kApplyFloorMs), "-");
    ratios.AddText("- inside the library's write calls", Format("%.1f ms", inWrites),
                   Format("%.0f writes, %.2f ms each", writes, inWrites / writes),
                   Format("%.1f%% of floor", 100 * inWrites / kApplyFloorMs), "-");
    ratios.AddText("- in the pauses, as slept here", Format("%.1f ms", inPauses),
                   Format("%.0f ms asked", kApplyFloorMs), Format("%.1f%% of floor", 100 * inPauses / kApplyFloorMs),
                   "-");
    ratios.AddText("- the agent's own", Format("%.1f ms", own),
                   Format("of it: pointer settings %.1f ms, settings load %.1f ms", pointerMs, settingsLoadMs),
                   Format("%.1f%% of floor", 100 * own / kApplyFloorMs),
                   Format("%.0f ms at most: %s", kOwnOverheadGoalMs, own <= kOwnOverheadGoalMs ? "met" : "NOT met"));
}

ResourceUse Measure(const char* who, DWORD processId, const char* when) {
    ResourceUse use;
    if (!MeasureProcess(processId, use)) std::printf("%s: cannot open process %lu\n", who, processId);
    std::printf("%-14s %-26s %s\n", who, when, Describe(use).c_str());
    return use;
}

// Growth over the later commands alone tells a leak from what the first ones set up once.
struct ResourceReadings {
    ResourceUse Before;
    ResourceUse WarmedUp;
    ResourceUse After;
};

void ResourceRows(SummaryTable& table, const char* who, const ResourceReadings& readings) {
    table.Add(Format("%s before load", who), Describe(readings.Before));
    table.Add(Format("%s after load", who), Describe(readings.After));
    table.Add(Format("%s growth", who), Describe(Growth(readings.Before, readings.After)));
    table.Add(Format("%s growth, last %d applies", who, kApplyCommands - kWarmUpApplies),
              Describe(Growth(readings.WarmedUp, readings.After)));
}

// Tells the watcher outside to take its own readings now, and stays still while it does.
void ResourceCheckpoint(const char* when) {
    std::printf("resource check: %s\n", when);
    std::fflush(stdout);
    PumpFor(1000);
}

// Leaves everything alone, answering only messages, while the watcher outside counts the
// agent's wake-ups.
void HoldStill() {
    std::printf("idle check: hid.exe left alone for %lu s from now\n", kIdleSeconds);
    std::fflush(stdout);
    const ULONGLONG end = GetTickCount64() + kIdleHoldMs;
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        PumpFor(0);
    }
}

}  // namespace

int wmain() {
    SummaryTable table;
    RatioTable ratios;
    const double settingsLoadMs = SettingsFileFigures(table);
    StartupFigures(table, ratios);

    MessageClock osd(names::kOsdWindowTitle, {osd::kMsgNotice, osd::kMsgValueNotice});
    MessageClock settingsTool(names::kSettingsToolWindowTitle, {settings_tool::kMsgApplyDone});
    AgentRig rig;
    std::string failure;
    if (!osd.Ready() || !settingsTool.Ready() || !rig.Start(failure)) {
        std::printf("no load figures: %s\n", failure.empty() ? "the stand-in windows did not open" : failure.c_str());
        table.Print();
        ratios.Print();
        return 1;
    }
    // The memory baseline, read from outside at the same checkpoints as the agent.
    ChildProcess bare;
    bare.Start(L"\"" + BenchFolder() + L"bare_window.exe\"");
    PumpUntil([&] { return !WindowsOfProcess(bare.Id(), kBareWindowTitle).empty(); }, 30000);
    PumpFor(1000);  // the tray companion settles
    const DWORD agentId = rig.AgentId();
    const DWORD notifyHostId = rig.NotifyHostId();
    ResourceReadings agent, notifyHost;
    ResourceCheckpoint("before");
    agent.Before = Measure("hid.exe", agentId, "before");
    notifyHost.Before = Measure("notifyhost.exe", notifyHostId, "before");

    ReportToNoticeFigures(rig, osd, table, ratios);
    ApplyTimes applies;
    UploadReplay replay;
    RunApplyCommands(rig, settingsTool, replay, kWarmUpApplies, applies);
    PumpFor(1000);
    const std::string warmedUp = Format("after reports, %d applies", kWarmUpApplies);
    agent.WarmedUp = Measure("hid.exe", agentId, warmedUp.c_str());
    notifyHost.WarmedUp = Measure("notifyhost.exe", notifyHostId, warmedUp.c_str());
    RunApplyCommands(rig, settingsTool, replay, kApplyCommands - kWarmUpApplies, applies);
    ApplyFigures(applies, settingsLoadMs, table, ratios);

    PumpFor(1000);
    ResourceCheckpoint("after");
    agent.After = Measure("hid.exe", agentId, "after");
    notifyHost.After = Measure("notifyhost.exe", notifyHostId, "after");
    ResourceRows(table, "hid.exe", agent);
    ResourceRows(table, "notifyhost.exe", notifyHost);
    for (HWND window : WindowsOfProcess(bare.Id(), kBareWindowTitle)) PostMessageW(window, WM_CLOSE, 0, 0);
    bare.WaitForExit(10000);

    HoldStill();
    table.Print();
    ratios.Print();
    return 0;
}
