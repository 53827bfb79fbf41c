#include "SimCommands.h"

#include "MouseState.h"

namespace simmouse {

namespace {

CommandOutcome Refuse(std::string message) { return {Reply::Error(std::move(message)), {}}; }

CommandOutcome Sent(const PressResult& press) {
    if (!press.error.empty()) return Refuse(press.error);
    if (!press.report) return {Reply::Ok({"no report"}), {}};
    return {Reply::Ok({"sent " + FormatHex(press.report->bytes)}),
            {MonitorEvent::Input(press.report->collection, press.report->bytes)}};
}

CommandOutcome Press(MouseModel& mouse, std::string_view arguments) {
    const Split what = SplitFirstWord(arguments);
    const auto number = ParseNumber(what.rest);
    if (!number || *number > 100) return Refuse("usage: press profile|cpi|button N");
    const int n = static_cast<int>(*number);
    if (what.word == "profile") return Sent(mouse.PressProfileKey(n));
    if (what.word == "cpi") return Sent(mouse.PressCpiKey(n));
    if (what.word == "button") return Sent(mouse.PressButton(n));
    return Refuse("usage: press profile|cpi|button N");
}

struct InjectedReport {
    std::uint32_t collection = 0;
    Bytes report;
};

std::optional<InjectedReport> ParseInjected(std::string_view arguments) {
    const Split collection = SplitFirstWord(arguments);
    const auto id = ParseNumber(collection.word);
    auto report = ParseHex(collection.rest);
    if (!id || *id > 0xFFFF || !report || report->empty()) return std::nullopt;
    return InjectedReport{*id, std::move(*report)};
}

CommandOutcome Inject(const MouseModel& mouse, std::string_view arguments) {
    auto injected = ParseInjected(arguments);
    if (!injected) return Refuse("usage: inject ID HEX...");
    if (!mouse.Attached()) return Refuse("mouse detached");
    return {Reply::Ok(), {MonitorEvent::Input(injected->collection, std::move(injected->report))}};
}

CommandOutcome Fail(MouseModel& mouse, std::string_view arguments) {
    if (arguments == "none") {
        mouse.SetFailure({});
    } else if (arguments == "all") {
        mouse.SetFailure({FailurePlan::Kind::All, 0});
    } else {
        const auto n = ParseNumber(arguments);
        if (!n || *n == 0) return Refuse("usage: fail none|all|N (N counts from 1)");
        mouse.SetFailure({FailurePlan::Kind::Nth, *n});
    }
    return {Reply::Ok(), {}};
}

CommandOutcome Write(MouseModel& mouse, std::string_view arguments) {
    const Split collection = SplitFirstWord(arguments);
    const auto id = ParseNumber(collection.word);
    const auto report = ParseHex(collection.rest);
    if (!id || !report) return Refuse("usage: write ID HEX...");
    if (!mouse.Write(*id, *report)) return Refuse("write failed");
    return {Reply::Ok(), {}};
}

}  // namespace

MonitorEvent DeviceEventOf(const MouseModel& mouse) {
    return MonitorEvent::Device(mouse.Attached(), mouse.VendorId(), mouse.ProductId());
}

CommandOutcome ExecuteCommand(MouseModel& mouse, std::string_view line) {
    const Split command = SplitFirstWord(line);
    const std::string_view arguments = command.rest;
    if (command.word == "attach") {
        if (!mouse.Attach()) return {Reply::Ok({"already attached"}), {}};
        return {Reply::Ok(), {DeviceEventOf(mouse)}};
    }
    if (command.word == "detach") {
        if (!mouse.Detach()) return {Reply::Ok({"already detached"}), {}};
        return {Reply::Ok(), {DeviceEventOf(mouse)}};
    }
    if (command.word == "inject") return Inject(mouse, arguments);
    if (command.word == "fail") return Fail(mouse, arguments);
    if (command.word == "press") return Press(mouse, arguments);
    if (command.word == "write") return Write(mouse, arguments);
    if (command.word == "ordinal") {
        mouse.LogOrdinal(arguments);
        return {Reply::Ok(), {}};
    }
    if (command.word == "log") return {Reply::Ok(mouse.Log()), {}};
    if (command.word == "clear-log") {
        mouse.ClearLog();
        return {Reply::Ok(), {}};
    }
    if (command.word == "state") return {Reply::Ok(DescribeState(mouse)), {}};
    if (command.word == "ping") return {Reply::Ok(), {}};
    return Refuse("unknown request: " + std::string(command.word));
}

std::optional<WaitLogRequest> ParseWaitLog(std::string_view arguments) {
    const Split timeout = SplitFirstWord(arguments);
    const auto ms = ParseNumber(timeout.word);
    if (!ms || timeout.rest.empty()) return std::nullopt;
    return WaitLogRequest{*ms, std::string(timeout.rest)};
}

std::optional<RepeatRequest> ParseRepeat(std::string_view arguments) {
    const Split count = SplitFirstWord(arguments);
    const Split interval = SplitFirstWord(count.rest);
    const auto times = ParseNumber(count.word);
    const auto ms = ParseNumber(interval.word);
    auto injected = ParseInjected(interval.rest);
    if (!times || *times == 0 || !ms || !injected) return std::nullopt;
    return RepeatRequest{*times, *ms, injected->collection, std::move(injected->report)};
}

CommandOutcome SendRepeated(const MouseModel& mouse, const RepeatRequest& request) {
    if (!mouse.Attached()) return Refuse("mouse detached");
    return {Reply::Ok(), {MonitorEvent::Input(request.collection, request.report, true)}};
}

std::optional<std::string> FindLogLine(const std::vector<std::string>& log, std::string_view pattern) {
    for (const std::string& line : log) {
        if (ContainsIgnoringCase(line, pattern)) return line;
    }
    return std::nullopt;
}

}  // namespace simmouse
