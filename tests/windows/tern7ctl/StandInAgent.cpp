#include "StandInAgent.h"

#include "ProgramNames.h"
#include "SettingsToolContract.h"
#include "TestProcess.h"

namespace {

constexpr wchar_t kWindowClass[] = L"Tern7ctlTestAgent";

}  // namespace

StandInAgent::StandInAgent(std::optional<int> answer) : answer_(answer) {
    thread_ = std::thread([this] { Run(); });
    PumpUntil([&] { return window_ != nullptr || finished_; }, 5000);
}

StandInAgent::~StandInAgent() {
    if (const HWND window = window_) PostMessageW(window, WM_CLOSE, 0, 0);
    thread_.join();
}

void StandInAgent::Run() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &StandInAgent::WindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, names::kAgentWindowTitle, WS_POPUP, 0, 0, 0, 0,
                                        nullptr, nullptr, windowClass.hInstance, this);
    window_ = window;
    MSG message;
    while (window && GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
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

LRESULT CALLBACK StandInAgent::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* agent = reinterpret_cast<StandInAgent*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (agent && message == settings_tool::kMsgApplySettings) {
        agent->OnApplyCommand(wParam, lParam);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}
