// Prints what the agent costs under this system: its start-up, its settings load and
// write-back, the delay from a mouse report to the display's notice, the apply command
// against its floor, the memory and objects it and the tray companion hold before and
// after load, and an idle stretch that scripts/bench.sh watches from the outside.
// Figures, not pass or fail: compare them within one run.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AgentRig.h"
#include "BenchFigures.h"
#include "IniFile.h"
#include "MessageClock.h"
#include "OsdContract.h"
#include "ProcessGauge.h"
#include "SettingsToolContract.h"
#include "config/ConfigFile.h"

namespace {

constexpr int kReports = 1000;
constexpr int kReportIntervalMs = 5;
constexpr int kApplyCommands = 100;
constexpr int kWarmUpApplies = 10;
// 27 reports, each followed by the upload's 10 ms pause, and 50 ms before the result.
constexpr double kApplyFloorMs = 27 * 10.0 + 50.0;
constexpr DWORD kIdleSeconds = 10;
// Longer than the watcher's look, so it never sees the benchmark's own ending.
constexpr DWORD kIdleHoldMs = kIdleSeconds * 1000 + 2500;

// From process start until the agent's message loop answers: the whole start-up
// sequence. Without HidDevice.dll there is no mouse, so no 2000 ms pause.
double AgentStartup(const std::wstring& hid, const std::wstring& folder) {
    ChildProcess agent;
    HWND window = nullptr;
    const double ms = TimeOnce([&] {
        agent.Start(L"\"" + hid + L"\"", folder);
        PumpUntil([&] {
            const auto found = WindowsOfProcess(agent.Id(), names::kAgentWindowTitle);
            if (found.empty()) return false;
            DWORD_PTR ignored = 0;
            window = found.front();
            return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored) != 0;
        }, 60000);
    });
    PostMessageW(window, WM_CLOSE, 0, 0);
    agent.WaitForExit(10000);
    return ms;
}

void SettingsFileFigures(SummaryTable& table) {
    ScratchFolder work;
    IniFile config(work.File(L"config.ini"));
    CopyFileW((kDistFolder + L"config.ini").c_str(), config.Path().c_str(), FALSE);
    SettingsImage image{};
    std::vector<double> loads, writes;
    for (int i = 0; i < 20; ++i) loads.push_back(TimeOnce([&] { LoadSettings(config, image); }));
    for (int i = 0; i < 5; ++i) writes.push_back(TimeOnce([&] { WriteConfigFile(config, image); }));
    Report("LoadSettings (default config.ini)", loads);
    Report("WriteConfigFile (187 keys, each flushed)", writes);
    table.Add("settings load, median", Format("%.2f ms", Median(loads)));
    table.Add("settings write-back, median", Format("%.1f ms", Median(writes)));
}

void StartupFigures(SummaryTable& table) {
    ScratchFolder install;
    for (const wchar_t* name : {L"hid.exe", L"config.ini", L"macrolist.ini"})
        CopyFileW((kDistFolder + name).c_str(), install.File(name).c_str(), FALSE);
    // First run (first-run copy) and later runs.
    std::vector<double> first, later, baseline;
    for (int run = 0; run < 3; ++run) {
        ScratchFolder appData;
        AppDataRedirect redirect(appData.Path());
        first.push_back(AgentStartup(install.File(L"hid.exe"), install.Path()));
        for (int i = 0; i < 3; ++i) later.push_back(AgentStartup(install.File(L"hid.exe"), install.Path()));
    }
    // A process start that does almost nothing, to compare with: the agent's own
    // refusal of a second instance while the first runs.
    {
        ScratchFolder appData;
        AppDataRedirect redirect(appData.Path());
        ChildProcess agent;
        agent.Start(L"\"" + install.File(L"hid.exe") + L"\"", install.Path());
        PumpUntil([&] { return !WindowsOfProcess(agent.Id(), names::kAgentWindowTitle).empty(); }, 60000);
        for (int i = 0; i < 5; ++i) {
            ChildProcess second;
            baseline.push_back(TimeOnce([&] {
                second.Start(L"\"" + install.File(L"hid.exe") + L"\"", install.Path());
                second.WaitForExit(30000);
            }));
        }
        for (HWND window : WindowsOfProcess(agent.Id(), names::kAgentWindowTitle)) PostMessageW(window, WM_CLOSE, 0, 0);
        agent.WaitForExit(10000);
    }
    Report("agent start-up, first run for the user", first);
    Report("agent start-up, later runs", later);
    Report("second instance start and exit (baseline)", baseline);
    table.Add("agent start-up, first run, median", Format("%.0f ms", Median(first)));
    table.Add("agent start-up, later runs, median", Format("%.0f ms", Median(later)));
    table.Add("second-instance start and exit, median", Format("%.0f ms", Median(baseline)));
}

// The performance counter values the simulated mouse's library logged as it handed each
// timed report to the agent's callback.
std::vector<long long> DeliveryCounters(const SimMouse& mouse) {
    std::vector<long long> counters;
    const std::string prefix = "delivered 3 qpc ";
    for (const std::string& line : mouse.Log()) {
        if (line.rfind(prefix, 0) == 0) counters.push_back(std::stoll(line.substr(prefix.size())));
    }
    return counters;
}

// Media key reports, whose notice the agent posts at once, and the display's receipt of
// each notice.
void ReportToNoticeFigures(const AgentRig& rig, MessageClock& osd, SummaryTable& table) {
    osd.Clear();
    rig.Mouse().Run(L"clear-log");
    const CommandResult sent = RunCommand(
        L"\"" + kSimMouseFolder + L"simmouse.exe\" inject 03 E9 00 --repeat " + std::to_wstring(kReports) +
            L" --interval " + std::to_wstring(kReportIntervalMs),
        kReports * kReportIntervalMs + 30000);
    osd.WaitForCount(kReports, 10000);
    PumpFor(500);  // the library's last delivery lines
    const std::vector<long long> delivered = DeliveryCounters(rig.Mouse());
    const std::vector<StampedMessage> notices = osd.Received();
    if (sent.ExitCode != 0 || delivered.size() != notices.size() || notices.empty()) {
        std::printf("report-to-notice: %zu reports delivered, %zu notices received (simmouse: %s); no figure\n",
                    delivered.size(), notices.size(), sent.Output.c_str());
        table.Add("report-to-notice latency", "not measured: reports and notices do not pair up");
        return;
    }
    std::vector<double> latencies;
    for (std::size_t i = 0; i < notices.size(); ++i) latencies.push_back(Milliseconds(delivered[i], notices[i].Counter));
    Report("report delivered to notice received", latencies);
    std::printf("%-44s p99 %.3f ms  max %.3f ms\n", "", Percentile(latencies, 0.99), Percentile(latencies, 1.0));
    table.Add(Format("report-to-notice, %d reports %d ms apart", kReports, kReportIntervalMs),
              Format("median %.3f ms, p99 %.3f ms", Median(latencies), Percentile(latencies, 0.99)));
}

// True once the agent's window answers: everything it was doing is over.
bool AgentAnswers(HWND agent) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(agent, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored) != 0;
}

struct ApplyTimes {
    std::vector<double> ToResult;
    std::vector<double> ToAgentFree;
    int NotSent = 0;
};

// The whole apply command as the settings tool sees it, from its post to the result, and
// until the agent is free again (the progress window closes after the result is sent).
// Each command starts on an idle agent.
void RunApplyCommands(const AgentRig& rig, const MessageClock& settingsTool, int count, ApplyTimes& times) {
    for (int i = 0; i < count; ++i) {
        AgentAnswers(rig.AgentWindow());
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
        AgentAnswers(rig.AgentWindow());
        times.ToAgentFree.push_back(Milliseconds(posted, CounterNow()));
    }
}

void ApplyFigures(const ApplyTimes& times, SummaryTable& table) {
    Report("apply command, post to result", times.ToResult);
    Report("apply command, post to agent free again", times.ToAgentFree);
    const double median = Median(times.ToResult);
    std::printf("%-44s floor %.0f ms  overhead %.1f ms  ratio %.3f  not sent %d\n", "", kApplyFloorMs,
                median - kApplyFloorMs, median / kApplyFloorMs, times.NotSent);
    table.Add(Format("apply command to result, median of %zu", times.ToResult.size()),
              Format("%.1f ms = floor %.0f + %.1f ms (x%.3f)%s", median, kApplyFloorMs, median - kApplyFloorMs,
                     median / kApplyFloorMs, times.NotSent ? Format(", %d not sent", times.NotSent).c_str() : ""));
    table.Add("apply command until the agent is free, median", Format("%.1f ms", Median(times.ToAgentFree)));
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
    SettingsFileFigures(table);
    StartupFigures(table);

    MessageClock osd(names::kOsdWindowTitle, {osd::kMsgNotice, osd::kMsgValueNotice});
    MessageClock settingsTool(names::kSettingsToolWindowTitle, {settings_tool::kMsgApplyDone});
    AgentRig rig;
    std::string failure;
    if (!osd.Ready() || !settingsTool.Ready() || !rig.Start(failure)) {
        std::printf("no load figures: %s\n", failure.empty() ? "the stand-in windows did not open" : failure.c_str());
        table.Print();
        return 1;
    }
    PumpFor(1000);  // the tray companion settles
    const DWORD agentId = rig.AgentId();
    const DWORD notifyHostId = rig.NotifyHostId();
    ResourceReadings agent, notifyHost;
    ResourceCheckpoint("before");
    agent.Before = Measure("hid.exe", agentId, "before");
    notifyHost.Before = Measure("notifyhost.exe", notifyHostId, "before");

    ReportToNoticeFigures(rig, osd, table);
    ApplyTimes applies;
    RunApplyCommands(rig, settingsTool, kWarmUpApplies, applies);
    PumpFor(1000);
    const std::string warmedUp = Format("after reports, %d applies", kWarmUpApplies);
    agent.WarmedUp = Measure("hid.exe", agentId, warmedUp.c_str());
    notifyHost.WarmedUp = Measure("notifyhost.exe", notifyHostId, warmedUp.c_str());
    RunApplyCommands(rig, settingsTool, kApplyCommands - kWarmUpApplies, applies);
    ApplyFigures(applies, table);

    PumpFor(1000);
    ResourceCheckpoint("after");
    agent.After = Measure("hid.exe", agentId, "after");
    notifyHost.After = Measure("notifyhost.exe", notifyHostId, "after");
    ResourceRows(table, "hid.exe", agent);
    ResourceRows(table, "notifyhost.exe", notifyHost);

    HoldStill();
    table.Print();
    return 0;
}
