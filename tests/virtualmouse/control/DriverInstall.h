#pragma once
// Puts the virtual mouse into the running Wine prefix as a user installs a driver package:
// a root device of the bus's hardware id, registered with SetupAPI, then given the
// driver of the .inf. Done once a prefix (the test sessions copy a prefix that has it).
#include <windows.h>

#include <string>

namespace virtualmouse {

struct InstallOutcome {
    bool ok = false;
    bool alreadyThere = false;
    std::string message;  // what failed
};

// The .inf with both driver images beside it. Waits up to timeoutMs for the bus to start.
InstallOutcome InstallDriver(const std::wstring& infPath, DWORD timeoutMs);

}  // namespace virtualmouse
