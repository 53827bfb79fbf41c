// tern7ctl's argument reading, its checks on config.ini entries and its wording of the
// agent's answers.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "AgentReplies.h"
#include "CommandLine.h"
#include "IniEntryText.h"

namespace {

std::variant<Command, UsageError> Parse(std::vector<std::wstring> arguments) { return ParseCommandLine(arguments); }

TEST(Tern7ctlCommandLine, ReadsEachCommandWithItsOperands) {
    const auto set = Parse({L"set", L"GROUP1", L"DPI", L"4"});
    ASSERT_TRUE(std::holds_alternative<Command>(set));
    EXPECT_EQ(std::get<Command>(set).Kind, CommandKind::Set);
    EXPECT_EQ(std::get<Command>(set).Section, L"GROUP1");
    EXPECT_EQ(std::get<Command>(set).Key, L"DPI");
    EXPECT_EQ(std::get<Command>(set).Value, L"4");

    const auto get = Parse({L"get", L"Setting", L"Profile"});
    ASSERT_TRUE(std::holds_alternative<Command>(get));
    EXPECT_EQ(std::get<Command>(get).Kind, CommandKind::Get);
    EXPECT_EQ(std::get<Command>(get).Key, L"Profile");

    // An empty value is a value: it clears a text setting such as a macro name.
    const auto clear = Parse({L"set", L"ButtonAssigned0_1", L"MacroName", L""});
    ASSERT_TRUE(std::holds_alternative<Command>(clear));
    EXPECT_EQ(std::get<Command>(clear).Value, L"");

    for (const auto& [word, kind] : {std::pair{L"show", CommandKind::Show}, std::pair{L"apply", CommandKind::Apply},
                                     std::pair{L"watch", CommandKind::Watch}, std::pair{L"--help", CommandKind::Help},
                                     std::pair{L"/?", CommandKind::Help}}) {
        const auto parsed = Parse({word});
        ASSERT_TRUE(std::holds_alternative<Command>(parsed)) << word;
        EXPECT_EQ(std::get<Command>(parsed).Kind, kind) << word;
    }
}

TEST(Tern7ctlCommandLine, RefusesMissingUnknownAndMiscountedArguments) {
    const std::vector<std::vector<std::wstring>> bad = {
        {},
        {L"frobnicate"},
        {L"SHOW"},
        {L"show", L"extra"},
        {L"get", L"Setting"},
        {L"get", L"Setting", L"Profile", L"1"},
        {L"set", L"Setting", L"Profile"},
        {L"apply", L"now"},
        {L"--help", L"set"},
    };
    for (const auto& arguments : bad) {
        const auto parsed = Parse(arguments);
        ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << (arguments.empty() ? L"(none)" : arguments[0]);
        EXPECT_FALSE(std::get<UsageError>(parsed).Message.empty());
    }
    // The message names what was wrong.
    EXPECT_NE(std::get<UsageError>(Parse({L"frobnicate"})).Message.find(L"frobnicate"), std::wstring::npos);
    EXPECT_NE(std::get<UsageError>(Parse({L"set", L"S", L"K"})).Message.find(L"SECTION KEY VALUE"), std::wstring::npos);
}

TEST(Tern7ctlCommandLine, RefusesTextsThatWouldWriteAnotherEntry) {
    // Each would land in config.ini as a different section, key or line than asked.
    const std::vector<std::vector<std::wstring>> unsafe = {
        {L"set", L"", L"Profile", L"1"},
        {L"set", L"Setting]x", L"Profile", L"1"},
        {L"set", L"Set\nting", L"Profile", L"1"},
        {L"set", L" Setting", L"Profile", L"1"},
        {L"set", L"Setting", L"", L"1"},
        {L"set", L"Setting", L"Pro=file", L"1"},
        {L"set", L"Setting", L"[GROUP0]", L"1"},
        {L"set", L"Setting", L";Profile", L"1"},
        {L"set", L"Setting", L"Profile ", L"1"},
        {L"set", L"Setting", L"Profile", L"1\r\n[GROUP0]\r\nDPI=4"},
        {L"set", L"Setting", L"Profile",
         std::wstring(L"1\0"
                      L"2",
                      3)},
        {L"get", L"Setting", L"Pro\rfile"},
    };
    for (const auto& arguments : unsafe)
        EXPECT_TRUE(std::holds_alternative<UsageError>(Parse(arguments))) << arguments[1] << L"/" << arguments[2];

    // Inner blanks, '=' and ']' in values, and other scripts are ordinary text.
    for (const auto& arguments : std::vector<std::vector<std::wstring>>{
             {L"set", L"ButtonAssigned0_1", L"MacroName", L"My Macro = fast]"},
             {L"set", L"ButtonAssigned0_1", L"Path", L"C:\\Program Files\\Spiel\\spiel.exe"},
             {L"set", L"Gruppe Ä", L"Schlüssel", L"Wert ü"}}) {
        EXPECT_TRUE(std::holds_alternative<Command>(Parse(arguments))) << arguments[2];
    }
}

TEST(Tern7ctlNameList, SplitsTheProfileFunctionsLists) {
    EXPECT_EQ(SplitNameList(std::wstring_view(L"Setting\0GROUP0\0\0", 16)),
              (std::vector<std::wstring>{L"Setting", L"GROUP0"}));
    EXPECT_TRUE(SplitNameList(std::wstring_view(L"\0\0", 2)).empty());
    EXPECT_TRUE(SplitNameList(L"").empty());
    // A list cut off without its last terminator still yields its last name.
    EXPECT_EQ(SplitNameList(std::wstring_view(L"a\0bc", 4)), (std::vector<std::wstring>{L"a", L"bc"}));
}

TEST(Tern7ctlAgentReplies, EachApplyOutcomeHasItsOwnWordsAndExitCode) {
    const std::vector<ApplyReport> reports = {ReportForApplyResult(0), ReportForApplyResult(1), ReportForApplyResult(2),
                                              NoAgentReport(), NoAnswerReport()};
    const std::vector<std::wstring> words = {L"sent", L"write failed", L"no device", L"no agent", L"no answer"};
    std::set<int> codes;
    for (std::size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].Words, words[i]);
        codes.insert(reports[i].ExitCode);
    }
    EXPECT_EQ(codes.size(), reports.size()) << "scripts tell the outcomes apart by the exit code";
    EXPECT_EQ(reports[0].ExitCode, 0);

    // A result the agent never sends is not mistaken for success.
    const ApplyReport odd = ReportForApplyResult(7);
    EXPECT_EQ(odd.Words, L"unknown result 7");
    EXPECT_NE(odd.ExitCode, 0);
    EXPECT_EQ(codes.count(odd.ExitCode), 0u);
}

TEST(Tern7ctlAgentReplies, DescribesTheAgentsNoticesAndNothingElse) {
    EXPECT_EQ(DescribeAgentMessage(1237, 0, 0), L"profile changed");
    EXPECT_EQ(DescribeAgentMessage(1238, 4, 0), L"cpi level 4");
    EXPECT_EQ(DescribeAgentMessage(1295, 0, 2), L"apply done: no device");
    EXPECT_EQ(DescribeAgentMessage(1246, 0, 0), std::nullopt) << "the apply command goes to the agent, not from it";
    EXPECT_EQ(DescribeAgentMessage(0x0400, 0, 0), std::nullopt);
}

}  // namespace
