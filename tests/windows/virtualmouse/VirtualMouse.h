#pragma once
// The virtual mouse driven from a test's own process, in the words of simmouse.exe's
// command line ("press cpi 3"), with the exit status and output the tool would give. The
// mouse belongs to the whole Wine session: a test that uses it takes a session of its own
// (RESOURCE_LOCK session), and the mouse is left unplugged, its writes neither failing nor
// slow, when the object goes.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "BusControl.h"
#include "MouseReplay.h"
#include "TestProcess.h"

using virtualmouse::LoggedWrite;

class VirtualMouse {
public:
    // Starts the mouse afresh (nothing stored, an empty log), plugged in or not.
    explicit VirtualMouse(bool attached);
    ~VirtualMouse();
    VirtualMouse(const VirtualMouse&) = delete;
    VirtualMouse& operator=(const VirtualMouse&) = delete;

    // The driver runs in this session and the mouse is as asked.
    bool Ready() const { return ready_; }
    CommandResult Run(const std::wstring& arguments) const;
    // Plugs the mouse in and pumps until a program has heard of it. Wine registers a
    // process for device notices on a thread of its own, a moment after the program asked,
    // so the first plug after a program started may go unheard: it is plugged in again,
    // up to three times. False when heard never held.
    bool PlugInUntil(const std::function<bool()>& heard) const;
    bool WaitLog(const std::wstring& pattern, DWORD timeoutMs = 10000) const;
    // The output reports the mouse received since the log was last cleared, one a line.
    std::vector<std::string> Log() const;
    // The same writes, read from the driver's log.
    std::vector<LoggedWrite> Writes() const;
    // The driver's own requests, for what the tool's words do not reach.
    const virtualmouse::BusControl& Bus() const { return *bus_; }

private:
    std::optional<virtualmouse::BusControl> bus_;
    bool ready_ = false;
};

// The virtual mouse's build folder, as Wine shows it.
extern const std::wstring kVirtualMouseFolder;
