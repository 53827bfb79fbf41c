#include "AgentReplies.h"

#include "ExitCodes.h"
#include "SettingsToolContract.h"

using namespace settings_tool;

ApplyReport ReportForApplyResult(std::intptr_t result) {
    switch (result) {
        case kApplySent: return {L"sent", kExitOk};
        case kApplyWriteFailed: return {L"write failed", kExitWriteFailed};
        case kApplyNoDevice: return {L"no device", kExitNoDevice};
        default: return {L"unknown result " + std::to_wstring(result), kExitFailed};
    }
}

ApplyReport NoAgentReport() { return {L"no agent", kExitNoAgent}; }

ApplyReport NoAnswerReport() { return {L"no answer", kExitNoAnswer}; }

std::optional<std::wstring> DescribeAgentMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    switch (message) {
        case kMsgProfileChanged: return L"profile changed";
        case kMsgCpiChanged: return L"cpi level " + std::to_wstring(wParam);
        case kMsgApplyDone: return L"apply done: " + ReportForApplyResult(lParam).Words;
        default: return std::nullopt;
    }
}
