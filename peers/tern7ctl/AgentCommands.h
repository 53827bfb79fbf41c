#pragma once
// apply and watch: the settings tool's side of the messages with the running agent. Each
// returns the program's exit code.

// An upload takes about a second; this leaves room for a slow or retrying one.
inline constexpr unsigned long kApplyAnswerTimeoutMs = 15000;

// Posts the apply command to the agent and prints its answer, or "no answer" when none
// comes within the time.
int ApplySettings(unsigned long answerTimeoutMs = kApplyAnswerTimeoutMs);
// Prints each notice the agent posts to the settings tool until the window is closed or
// the console is interrupted.
int WatchAgent();
