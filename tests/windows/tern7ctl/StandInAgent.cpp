#include "StandInAgent.h"

#include "ProgramNames.h"
#include "SettingsToolContract.h"
#include "TestProcess.h"
#include "TestWindow.h"

StandInAgent::StandInAgent(std::optional<int> answer) : answer_(answer) {
    thread_ = std::thread([this] { Run(); });
    PumpUntil([&] { return window_ != nullptr || finished_; }, 5000);
}

StandInAgent::~StandInAgent() {
    if (const HWND window = window_) PostMessageW(window, WM_CLOSE, 0, 0);
    thread_.join();
}

void StandInAgent::Run() {
    const TestWindow window(names::kAgentWindowTitle,
                            {.OnMessage = [this](HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
                                if (message == WM_DESTROY) PostQuitMessage(0);
                                if (message != settings_tool::kMsgApplySettings) return false;
                                OnApplyCommand(wParam, lParam);
                                return true;
                            }});
    window_ = window.Handle();
    MSG message;
    while (window.Handle() && GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    window_ = nullptr;
    finished_ = true;
}

void StandInAgent::OnApplyCommand(WPARAM wParam, LPARAM lParam) {
    ++applyCommands_;
    if (wParam != 0 || lParam != 0) parametersWereZero_ = false;
    // The real agent may report the mouse's own changes while an upload runs.
    const HWND tool = FindWindowW(nullptr, names::kSettingsToolWindowTitle);
    PostMessageW(tool, settings_tool::kMsgProfileChanged, 0, 0);
    PostMessageW(tool, settings_tool::kMsgCpiChanged, 3, 0);
    if (answer_) PostMessageW(tool, settings_tool::kMsgApplyDone, 0, *answer_);
}
