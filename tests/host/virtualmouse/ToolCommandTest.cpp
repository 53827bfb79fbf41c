#include "ToolCommand.h"

#include <gtest/gtest.h>

namespace virtualmouse {
namespace {

ToolCommand Parse(const std::vector<std::string>& args) {
    const ParsedCommand parsed = ParseToolCommand(args);
    EXPECT_TRUE(parsed.command.has_value()) << parsed.error;
    return parsed.command.value_or(ToolCommand{});
}

bool Refused(const std::vector<std::string>& args) {
    const ParsedCommand parsed = ParseToolCommand(args);
    return !parsed.command && !parsed.error.empty();
}

TEST(ToolCommandLine, InjectTakesHexOnTheKeysUnlessToldAndRepeatsWhenAsked) {
    const ToolCommand plain = Parse({"inject", "03", "20", "00"});
    EXPECT_EQ(plain.action, ToolCommand::Action::Inject);
    EXPECT_EQ(plain.report, (simmouse::Bytes{3, 0x20, 0}));
    EXPECT_EQ(plain.collection, 2u) << "the keys' collection";
    EXPECT_EQ(plain.repeat, 1u);

    // Options stand anywhere; one quoted word of hex pairs is the same as several.
    const ToolCommand repeated = Parse({"inject", "--repeat", "400", "03 e9 00", "--interval", "1", "--id", "3"});
    EXPECT_EQ(repeated.report, (simmouse::Bytes{3, 0xE9, 0}));
    EXPECT_EQ(repeated.repeat, 400u);
    EXPECT_EQ(repeated.intervalMs, 1u);
    EXPECT_EQ(repeated.collection, 3u);
}

TEST(ToolCommandLine, RefusesWhatNoCommandTakes) {
    const struct {
        std::vector<std::string> Args;
        const char* Why;
    } refused[] = {
        {{"inject"}, "no report"},
        {{"inject", "3", "20"}, "a digit alone"},
        {{"inject", "03", "zz"}, "no hex"},
        {{"inject", "03", "--id", "0"}, "no such collection"},
        {{"inject", "03", "--id", "4"}, "no such collection"},
        {{"inject", "03", "--repeat", "0"}, "nothing to send"},
        {{"inject", "03", "--interval", "2"}, "an interval without a repeat"},
        {{"inject", "03", "--repeat", "2", "--interval", "60001"}, "an interval over a minute"},
        {{"state", "--id", "2"}, "an option of another command"},
        {{"press", "cpi", "2", "--repeat", "2"}, "an option of another command"},
        {{"attach", "now"}, "a word too many"},
        {{"fail", "0"}, "writes count from 1"},
        {{"fail", "some"}, "no count"},
        {{"slow", "60001"}, "a delay over a minute"},
        {{"press", "wheel", "1"}, "no such key"},
        {{"press", "cpi", "101"}, "no such level"},
        {{"wait-log", "write", "soon"}, "no timeout"},
        {{"state", "\x01"}, "printable ASCII only"},
    };
    for (const auto& row : refused) EXPECT_TRUE(Refused(row.Args)) << row.Why << ": " << row.Args.back();
}

TEST(ToolCommandLine, EachCommandTakesItsOwnWords) {
    EXPECT_EQ(Parse({}).action, ToolCommand::Action::Help);
    EXPECT_EQ(Parse({"state", "--help"}).action, ToolCommand::Action::Help);
    EXPECT_EQ(Parse({"install"}).action, ToolCommand::Action::Install);
    EXPECT_EQ(Parse({"clear-log"}).action, ToolCommand::Action::ClearLog);

    const ToolCommand nth = Parse({"fail", "3"});
    EXPECT_EQ(nth.failing, ToolCommand::Failing::Nth);
    EXPECT_EQ(nth.nth, 3u);
    EXPECT_EQ(Parse({"fail", "all"}).failing, ToolCommand::Failing::All);
    EXPECT_EQ(Parse({"fail", "none"}).failing, ToolCommand::Failing::None);

    EXPECT_EQ(Parse({"slow", "250"}).delayMs, 250u);

    const ToolCommand button = Parse({"press", "button", "7"});
    EXPECT_EQ(button.key, ToolCommand::Key::Button);
    EXPECT_EQ(button.number, 7);

    const ToolCommand wait = Parse({"wait-log", "write 3 ok", "2000"});
    EXPECT_EQ(wait.pattern, "write 3 ok");
    EXPECT_EQ(wait.timeoutMs, 2000u);
}

TEST(ToolCommandLine, QuotesGroupWordsAsTheRuntimeDoes) {
    EXPECT_EQ(SplitCommandLine(R"(wait-log "write 3 ok" 2000)"),
              (std::vector<std::string>{"wait-log", "write 3 ok", "2000"}));
    EXPECT_EQ(SplitCommandLine(R"(  state   "" x)"), (std::vector<std::string>{"state", "", "x"}));
}

}  // namespace
}  // namespace virtualmouse
