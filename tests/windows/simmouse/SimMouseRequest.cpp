#include "SimMouseRequest.h"

#include <gtest/gtest.h>

#include <vector>

#include "ControlArgs.h"
#include "ControlClient.h"
#include "PipeConnection.h"
#include "PipeName.h"

namespace {

// The words of a command line, with double quotes grouping words as the C runtime does.
std::vector<std::string> SplitArguments(const std::wstring& line) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool inWord = false;
    for (const wchar_t c : line) {
        if (c == L'"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == L' ' && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word.push_back(static_cast<char>(c));
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

}  // namespace

CommandResult AskSimMouse(const std::wstring& pipe, const std::wstring& arguments) {
    CommandResult result;
    const simmouse::ParsedArgs parsed = simmouse::ParseControlArgs(SplitArguments(arguments));
    if (!parsed.invocation || parsed.invocation->action != simmouse::Invocation::Action::Request) {
        ADD_FAILURE() << "not a request of the simulated mouse: " << parsed.error;
        result.ExitCode = simmouse::kExitUsage;
        return result;
    }
    const auto answer = simmouse::AskServer(simmouse::FullPipeName(pipe), parsed.invocation->request, parsed.invocation->replyTimeoutMs);
    if (!answer) {
        result.ExitCode = simmouse::kExitNoServer;
        return result;
    }
    for (const std::string& line : answer->lines) result.Output += line + "\n";
    result.ExitCode = answer->ok ? simmouse::kExitOk : simmouse::kExitRefused;
    return result;
}
