#include "Tern7ctlRun.h"

#include <gtest/gtest.h>

Tern7ctlInstall::Tern7ctlInstall() {
    if (!folder_.Add(L"tern7ctl.exe")) ADD_FAILURE() << "tern7ctl.exe not installed";
}

std::wstring Tern7ctlInstall::Command(const std::wstring& arguments) const {
    return L"\"" + folder_.File(L"tern7ctl.exe") + L"\" " + arguments;
}

CommandResult Tern7ctlInstall::Run(const std::wstring& arguments, DWORD timeoutMs) const {
    return RunCommand(Command(arguments), timeoutMs);
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}
