#include "VirtualMouse.h"

#include <gtest/gtest.h>

#include "CollectionPresence.h"
#include "ReportText.h"
#include "TestFiles.h"
#include "ToolRunner.h"

const std::wstring kVirtualMouseFolder = HostFolder(TERN7_VIRTUAL_MOUSE_DIR);

namespace {

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text) narrow.push_back(c < 0x80 ? static_cast<char>(c) : '\x01');
    return narrow;
}

// The mouse as every test finds it: unplugged, writes neither failing nor slow.
bool Settle(const virtualmouse::BusControl& bus) {
    return bus.Unplug() == ERROR_SUCCESS && bus.FailWrites(0, 0) == ERROR_SUCCESS &&
           bus.DelayWrites(0) == ERROR_SUCCESS && virtualmouse::WaitForCollections(TERN7_VENDOR_ID, 0, 10000);
}

}  // namespace

VirtualMouse::VirtualMouse(bool attached) {
    DWORD error = ERROR_SUCCESS;
    bus_ = virtualmouse::BusControl::Open(&error);
    if (!bus_) {
        ADD_FAILURE() << "the virtual mouse is not installed in this Wine session (error " << error << ")";
        return;
    }
    ready_ = Settle(*bus_) && bus_->ResetLog() == ERROR_SUCCESS &&
             (!attached || Run(L"attach").ExitCode == virtualmouse::kExitOk);
    EXPECT_TRUE(ready_) << "the virtual mouse could not be made ready";
}

VirtualMouse::~VirtualMouse() {
    if (bus_) {
        EXPECT_TRUE(Settle(*bus_)) << "the virtual mouse was left plugged in";
    }
}

CommandResult VirtualMouse::Run(const std::wstring& arguments) const {
    CommandResult result;
    const auto parsed = virtualmouse::ParseToolCommand(virtualmouse::SplitCommandLine(Narrow(arguments)));
    if (!parsed.command) {
        ADD_FAILURE() << "not a command of the virtual mouse: " << parsed.error;
        result.ExitCode = virtualmouse::kExitUsage;
        return result;
    }
    const virtualmouse::ToolResult ran =
        virtualmouse::RunToolCommand(*parsed.command, {TERN7_VENDOR_ID, kVirtualMouseFolder});
    result.ExitCode = static_cast<DWORD>(ran.exitCode);
    result.Output = ran.output;
    return result;
}

bool VirtualMouse::PlugInUntil(const std::function<bool()>& heard) const {
    constexpr int kPlugs = 3;
    constexpr DWORD kHeardWithinMs = 5000;
    for (int plug = 1; plug <= kPlugs; ++plug) {
        if (plug > 1 && Run(L"detach").ExitCode != virtualmouse::kExitOk) return false;
        if (Run(L"attach").ExitCode != virtualmouse::kExitOk) return false;
        if (PumpUntil(heard, kHeardWithinMs)) return true;
    }
    return false;
}

bool VirtualMouse::WaitLog(const std::wstring& pattern, DWORD timeoutMs) const {
    return Run(L"wait-log \"" + pattern + L"\" " + std::to_wstring(timeoutMs)).ExitCode == virtualmouse::kExitOk;
}

std::vector<std::string> VirtualMouse::Log() const {
    std::vector<std::string> lines;
    const std::string text = Run(L"log").Output;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        if (end > at) lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

std::vector<LoggedWrite> VirtualMouse::Writes() const {
    // "write 3 ok 00 07 ...", or "failed" for a write the mouse refused.
    std::vector<LoggedWrite> writes;
    for (const std::string& line : Log()) {
        LoggedWrite write;
        char outcome[8] = {};
        int consumed = 0;
        if (std::sscanf(line.c_str(), "write %u %7s %n", &write.Collection, outcome, &consumed) < 2) continue;
        write.Ok = std::string(outcome) == "ok";
        write.Bytes = simmouse::ParseHex(line.substr(static_cast<std::size_t>(consumed))).value_or(simmouse::Bytes{});
        writes.push_back(std::move(write));
    }
    return writes;
}
