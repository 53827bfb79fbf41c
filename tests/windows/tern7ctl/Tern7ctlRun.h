#pragma once
// tern7ctl.exe as a test runs it: copied into an install folder of the test's own (its
// program folder is where a first run copies the defaults from), run to its end or kept
// running with its output collected as it comes (ChildProcess::StartReadingOutput).
#include <windows.h>

#include <string>

#include "TestFiles.h"
#include "TestProcess.h"

// What a command printed, without the line break at its end.
std::string Trimmed(std::string text);

class Tern7ctlInstall {
public:
    Tern7ctlInstall();
    const ProgramFolder& Folder() const { return folder_; }
    // The command line that runs the installed program with these arguments.
    std::wstring Command(const std::wstring& arguments) const;
    CommandResult Run(const std::wstring& arguments, DWORD timeoutMs = 30000) const;

private:
    ProgramFolder folder_;
};
