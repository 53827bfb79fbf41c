#pragma once
// The agent's slow requests (the apply command, a mode change of the mouse) run one at a
// time. While one runs, the GUI thread still handles messages that other programs send it
// (a settings broadcast waits for every window), so a request can arrive inside another;
// it is queued and run after the current one. Queued applies in a row with the same
// token are counted, not stored, so a flood of them costs no memory and each still gets
// its answer.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "InputReport.h"

struct AgentRequest {
    enum class Kind { Apply, ModeChange };
    Kind What = Kind::Apply;
    int N = 0;                           // mode change: profile or CPI level number
    ModeKind Mode = ModeKind::CpiLevel;  // mode change: which of the two
    std::uintptr_t Token = 0;            // apply: what the answer carries back to the asker

    bool operator==(const AgentRequest&) const = default;
};

class RequestQueue {
public:
    // Mode changes waiting beyond this are dropped: the mouse reports its state again with
    // the next key press.
    static constexpr std::size_t kMaxWaitingModeChanges = 16;
    // Applies with tokens of their own waiting beyond this are dropped: no settings tool
    // asks again before it has its answer, so only a flood of forged ones gets this far.
    static constexpr std::size_t kMaxWaitingTokens = 64;

    // True when nothing runs: the caller runs the request now and calls Finish after it.
    // Otherwise the request waits.
    bool Admit(const AgentRequest& request);
    // The current request ended: the next one to run, or nothing, which leaves the queue idle.
    std::optional<AgentRequest> Finish();
    bool Busy() const { return busy_; }

private:
    struct Waiting {
        AgentRequest Request;
        std::size_t Count = 1;
    };
    std::deque<Waiting> waiting_;
    std::size_t waitingModeChanges_ = 0;
    std::size_t waitingTokens_ = 0;
    bool busy_ = false;
};
