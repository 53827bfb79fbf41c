#include "VirtualMouse.h"

#include <gtest/gtest.h>

#include "CollectionPresence.h"
#include "TestFiles.h"
#include "ToolRunner.h"

const std::wstring kVirtualMouseFolder = HostFolder(TERN7_VIRTUAL_MOUSE_DIR);

namespace {

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
    const auto parsed =
        virtualmouse::ParseToolCommand(virtualmouse::SplitCommandLine(virtualmouse::ToolWord(arguments)));
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
    vmouse_state state{};
    std::vector<vmouse_log_entry> log;
    vmouse_log_chunk bounds{};
    if (!bus_ || bus_->ReadState(state) != ERROR_SUCCESS ||
        bus_->ReadLog(state.log_mark, log, bounds) != ERROR_SUCCESS) {
        ADD_FAILURE() << "the virtual mouse's log could not be read";
        return {};
    }
    return virtualmouse::WritesFrom(log, state.log_mark);
}
