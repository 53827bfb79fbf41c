#pragma once
// apply and watch: the settings tool's side of the messages with the running agent. Each
// returns the program's exit code.

// Posts the apply command to the agent and prints its answer.
int ApplySettings();
// Prints each notice the agent posts to the settings tool until the window is closed or
// the console is interrupted.
int WatchAgent();
