#pragma once
// Stands in for the agent's window in tern7ctl's tests: titled as the agent, on a thread
// of its own so that it answers while the test waits for tern7ctl. On each apply command
// it posts a profile and a CPI notice and then, if it has one, its answer to the window
// titled as the settings tool.
#include <windows.h>

#include <atomic>
#include <optional>
#include <thread>

class StandInAgent {
public:
    // answer: the apply result posted back; nothing: the agent never answers.
    explicit StandInAgent(std::optional<int> answer);
    ~StandInAgent();
    StandInAgent(const StandInAgent&) = delete;
    StandInAgent& operator=(const StandInAgent&) = delete;

    bool Ready() const { return window_ != nullptr; }
    int ApplyCommands() const { return applyCommands_; }
    // Whether every apply command came with wParam 0 and lParam 0.
    bool ParametersWereZero() const { return parametersWereZero_; }

private:
    void Run();
    void OnApplyCommand(WPARAM wParam, LPARAM lParam);

    std::optional<int> answer_;
    std::atomic<HWND> window_{nullptr};
    std::atomic<bool> finished_{false};
    std::atomic<int> applyCommands_{0};
    std::atomic<bool> parametersWereZero_{true};
    std::thread thread_;
};
