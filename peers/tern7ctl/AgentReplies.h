#pragma once
// The words tern7ctl prints for what the agent posts to the settings tool's window.
#include <cstdint>
#include <optional>
#include <string>

// What apply prints and exits with.
struct ApplyReport {
    std::wstring Words;
    int ExitCode;
};

// For the lParam of the agent's apply-done message.
ApplyReport ReportForApplyResult(std::intptr_t result);
ApplyReport NoAgentReport();
ApplyReport NoAnswerReport();

// One watch line for a message from the agent; nothing for messages the agent does not send.
std::optional<std::wstring> DescribeAgentMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
