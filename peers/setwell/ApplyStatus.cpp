#include "ApplyStatus.h"

#include "SettingsToolContract.h"

ApplyState StateOfApplyResult(std::intptr_t result) {
    switch (result) {
        case settings_tool::kApplySent: return ApplyState::Updated;
        case settings_tool::kApplyWriteFailed: return ApplyState::WriteFailed;
        case settings_tool::kApplyNoDevice: return ApplyState::NoMouse;
        default: return ApplyState::OtherAnswer;
    }
}

std::wstring ApplyStateText(ApplyState state) {
    switch (state) {
        case ApplyState::Idle: return L"";
        case ApplyState::FileBusy: return L"Another program is writing config.ini; saving as soon as it is done...";
        case ApplyState::SaveFailed:
            return L"The settings could not be saved to config.ini; the mouse was not updated.";
        case ApplyState::Updating: return L"Updating the mouse...";
        case ApplyState::Updated: return L"The mouse is updated.";
        case ApplyState::WriteFailed: return L"Saved, but writing to the mouse failed (write failed). Try Apply again.";
        case ApplyState::NoMouse:
            return L"Saved, but no mouse is connected (no mouse). It is updated when you apply again with the mouse "
                   L"plugged in.";
        case ApplyState::NoAgent: return L"Saved, but the Tern-7 service is not running, so the mouse was not updated.";
        case ApplyState::NoAnswer: return L"Saved, but the Tern-7 service did not answer within 15 seconds.";
        case ApplyState::OtherAnswer: return L"Saved, but the Tern-7 service gave an unknown answer.";
    }
    return L"";
}
