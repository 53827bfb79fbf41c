#pragma once
// tern7ctl's exit codes: scripts tell the outcomes apart by them.

enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,       // no settings file, no such key, a write that did not land, an odd answer
    kExitUsage = 2,        // bad arguments
    kExitWriteFailed = 3,  // apply: a write to the mouse failed
    kExitNoDevice = 4,     // apply: the agent has no mouse
    kExitNoAgent = 5,      // apply: no agent window
    kExitNoAnswer = 6,     // apply: the agent did not answer in time
};
