#pragma once
// What the window says about an apply, from writing config.ini to the agent's answer.
#include <cstdint>
#include <string>

enum class ApplyState {
    Idle,
    FileBusy,    // another program holds config.ini's lock; the save is tried again
    SaveFailed,  // config.ini does not hold the edits; the agent was not asked
    Updating,    // written and the agent asked; its answer is awaited
    Updated,
    WriteFailed,
    NoMouse,
    NoAgent,      // written, but no agent runs to update the mouse
    NoAnswer,     // the agent did not answer in time
    OtherAnswer,  // an answer the agent does not give
};

// The agent's answer takes about a second; a slow or retrying upload stays well below this.
inline constexpr unsigned kApplyAnswerTimeoutMs = 15000;

ApplyState StateOfApplyResult(std::intptr_t result);
std::wstring ApplyStateText(ApplyState state);
// Whether the mouse holds what the window shows.
inline bool ApplySucceeded(ApplyState state) { return state == ApplyState::Updated; }
