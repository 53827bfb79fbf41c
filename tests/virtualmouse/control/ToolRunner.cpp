#include "ToolRunner.h"

#include <algorithm>
#include <vector>

#include "BusControl.h"
#include "CollectionPresence.h"
#include "DriverInstall.h"
#include "MouseReplay.h"
#include "MouseState.h"
#include "Tern7Layout.h"

namespace virtualmouse {

namespace {

// A plug or unplug shows in SetupAPI once Wine's plug-and-play has done its part.
constexpr DWORD kCollectionsTimeoutMs = 10000;
constexpr DWORD kInstallTimeoutMs = 30000;
constexpr DWORD kLogPollMs = 10;

ToolResult Done(std::string output = {}) { return {kExitOk, std::move(output)}; }

ToolResult Refused(const std::string& why) { return {kExitRefused, "simmouse: " + why + "\n"}; }

ToolResult Failed(const char* request, DWORD error) {
    if (error == ERROR_DEVICE_NOT_CONNECTED) return Refused("mouse detached");
    return Refused(std::string(request) + " failed, error " + std::to_string(error));
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

struct Snapshot {
    vmouse_state state{};
    std::vector<vmouse_log_entry> log;
};

DWORD TakeSnapshot(const BusControl& bus, Snapshot& snapshot) {
    if (const DWORD error = bus.ReadState(snapshot.state)) return error;
    vmouse_log_chunk bounds{};
    return bus.ReadLog(0, snapshot.log, bounds);
}

simmouse::MouseModel ModelOf(const Snapshot& snapshot, const ToolSettings& settings) {
    simmouse::MouseModel mouse = ReplayModel(snapshot.log, settings.vendorId, snapshot.state.plugged != 0);
    mouse.SetFailure(FailurePlanOf(snapshot.state.pass_remaining, snapshot.state.fail_remaining));
    return mouse;
}

ToolResult Attach(const BusControl& bus, const ToolSettings& settings) {
    vmouse_state state{};
    if (const DWORD error = bus.ReadState(state)) return Failed("reading the state", error);
    if (state.plugged) return Done("already attached\n");
    if (const DWORD error = bus.Plug(Tern7Layout(settings.vendorId))) return Failed("plugging in", error);
    if (!WaitForCollections(settings.vendorId, kChildCount, kCollectionsTimeoutMs))
        return Refused("plugged in, but the collections did not appear");
    return Done();
}

ToolResult Detach(const BusControl& bus, const ToolSettings& settings) {
    vmouse_state state{};
    if (const DWORD error = bus.ReadState(state)) return Failed("reading the state", error);
    if (!state.plugged) return Done("already detached\n");
    if (const DWORD error = bus.Unplug()) return Failed("pulling out", error);
    if (!WaitForCollections(settings.vendorId, 0, kCollectionsTimeoutMs))
        return Refused("pulled out, but the collections did not go");
    return Done();
}

ToolResult Inject(const BusControl& bus, const ToolCommand& command) {
    const std::uint32_t child = command.collection - 1;
    const std::uint32_t length = static_cast<std::uint32_t>(command.report.size());
    if (InputReportLength(child) != length) {
        return Refused("collection " + std::to_string(command.collection) + " sends " +
                       std::to_string(InputReportLength(child)) + "-byte reports");
    }
    // Without a pause between them the reports go in batches and leave at the mouse's own pace.
    constexpr std::uint32_t kBatch = 256;
    for (std::uint32_t sent = 0; sent < command.repeat;) {
        const std::uint32_t count = command.intervalMs ? 1 : std::min(kBatch, command.repeat - sent);
        std::vector<std::uint8_t> reports;
        for (std::uint32_t i = 0; i < count; ++i)
            reports.insert(reports.end(), command.report.begin(), command.report.end());
        const DWORD error = bus.SendInput(child, length, reports);
        if (error == ERROR_NO_SYSTEM_RESOURCES) {
            Sleep(kLogPollMs);  // the mouse's queue is full: it sends one a millisecond
            continue;
        }
        if (error) return Failed("sending", error);
        sent += count;
        if (command.intervalMs && sent < command.repeat) Sleep(command.intervalMs);
    }
    return Done();
}

ToolResult Fail(const BusControl& bus, const ToolCommand& command) {
    DWORD error = ERROR_SUCCESS;
    switch (command.failing) {
        case ToolCommand::Failing::None: error = bus.FailWrites(0, 0); break;
        case ToolCommand::Failing::All: error = bus.FailWrites(0, VMOUSE_FAIL_FOREVER); break;
        case ToolCommand::Failing::Nth: error = bus.FailWrites(command.nth - 1, 1); break;
    }
    return error ? Failed("planning failures", error) : Done();
}

ToolResult Press(const BusControl& bus, const ToolCommand& command, const ToolSettings& settings) {
    Snapshot snapshot;
    if (const DWORD error = TakeSnapshot(bus, snapshot)) return Failed("reading the log", error);
    simmouse::MouseModel mouse = ModelOf(snapshot, settings);
    simmouse::PressResult press;
    std::string note;
    switch (command.key) {
        case ToolCommand::Key::Profile:
            press = mouse.PressProfileKey(command.number);
            note = ProfileKeyNote(command.number);
            break;
        case ToolCommand::Key::Cpi:
            press = mouse.PressCpiKey(command.number);
            note = CpiKeyNote(command.number);
            break;
        case ToolCommand::Key::Button: press = mouse.PressButton(command.number); break;
    }
    if (!press.error.empty()) return Refused(press.error);
    if (!press.report) return Done("no report\n");
    const auto& bytes = press.report->bytes;
    if (const DWORD error = bus.SendInput(kKeyChild, static_cast<std::uint32_t>(bytes.size()), bytes))
        return Failed("sending", error);
    // The selection changed only once the key's report went out.
    if (!note.empty()) {
        if (const DWORD error = bus.AddNote(note)) return Failed("noting the press", error);
    }
    return Done("sent " + simmouse::FormatHex(bytes) + "\n");
}

ToolResult State(const BusControl& bus, const ToolSettings& settings) {
    Snapshot snapshot;
    if (const DWORD error = TakeSnapshot(bus, snapshot)) return Failed("reading the log", error);
    std::vector<std::string> lines = simmouse::DescribeState(ModelOf(snapshot, settings));
    lines.push_back("slow: " + std::to_string(snapshot.state.write_delay_ms) + " ms");
    return Done(Lines(lines));
}

ToolResult Log(const BusControl& bus) {
    Snapshot snapshot;
    if (const DWORD error = TakeSnapshot(bus, snapshot)) return Failed("reading the log", error);
    return Done(Lines(WriteLines(snapshot.log, snapshot.state.log_mark)));
}

ToolResult WaitLog(const BusControl& bus, const ToolCommand& command) {
    vmouse_state state{};
    if (const DWORD error = bus.ReadState(state)) return Failed("reading the state", error);
    const ULONGLONG deadline = GetTickCount64() + command.timeoutMs;
    std::uint32_t from = state.log_mark;
    for (;;) {
        std::vector<vmouse_log_entry> entries;
        vmouse_log_chunk bounds{};
        if (const DWORD error = bus.ReadLog(from, entries, bounds)) return Failed("reading the log", error);
        for (const std::string& line : WriteLines(entries, from)) {
            if (simmouse::ContainsIgnoringCase(line, command.pattern)) return Done(line + "\n");
        }
        from = bounds.next;
        if (GetTickCount64() >= deadline) return Refused("no log line with '" + command.pattern + "'");
        Sleep(kLogPollMs);
    }
}

ToolResult Install(const ToolSettings& settings) {
    const InstallOutcome outcome = InstallDriver(settings.packageFolder + L"tern7vmouse.inf", kInstallTimeoutMs);
    if (!outcome.ok) return Refused("install: " + outcome.message);
    return Done(outcome.alreadyThere ? "already installed\n" : "installed\n");
}

}  // namespace

ToolResult RunToolCommand(const ToolCommand& command, const ToolSettings& settings) {
    using Action = ToolCommand::Action;
    if (command.action == Action::Help) return Done(kToolUsage);
    if (command.action == Action::Install) return Install(settings);

    DWORD openError = ERROR_SUCCESS;
    const auto bus = BusControl::Open(&openError);
    if (!bus) {
        return {kExitNoDriver, "simmouse: the virtual mouse is not installed in this Wine prefix (error " +
                                   std::to_string(openError) + "); run 'simmouse install'\n"};
    }
    switch (command.action) {
        case Action::Attach: return Attach(*bus, settings);
        case Action::Detach: return Detach(*bus, settings);
        case Action::Inject: return Inject(*bus, command);
        case Action::Fail: return Fail(*bus, command);
        case Action::Slow:
            if (const DWORD error = bus->DelayWrites(command.delayMs)) return Failed("slowing writes", error);
            return Done();
        case Action::Press: return Press(*bus, command, settings);
        case Action::Log: return Log(*bus);
        case Action::ClearLog:
            if (const DWORD error = bus->MarkLog()) return Failed("clearing the log", error);
            return Done();
        case Action::State: return State(*bus, settings);
        case Action::WaitLog: return WaitLog(*bus, command);
        default: return Done(kToolUsage);
    }
}

}  // namespace virtualmouse
