#pragma once
// hid.exe as a user has it for the load figures: an install folder of its own with the
// agent, its default files and skins, the shipped HidDevice.dll, the real tray companion,
// and the virtual mouse plugged in once the agent runs.
#include <windows.h>

#include <string>

#include "AgentHarness.h"

class AgentRig {
public:
    AgentRig();
    ~AgentRig();
    AgentRig(const AgentRig&) = delete;
    AgentRig& operator=(const AgentRig&) = delete;

    // Starts the agent and waits until it took the mouse and started the tray companion.
    // The reason when it did not.
    bool Start(std::string& failure);

    HWND AgentWindow() const { return window_; }
    DWORD AgentId() const { return agent_.Id(); }
    DWORD NotifyHostId() const;
    const VirtualMouse& Mouse() const { return mouse_; }

private:
    bool Install(std::string& failure);

    ProgramFolder install_;
    ScratchFolder appData_;
    AppDataRedirect redirect_{appData_.Path()};
    VirtualMouse mouse_{false};
    ChildProcess agent_;
    HWND window_ = nullptr;
};
