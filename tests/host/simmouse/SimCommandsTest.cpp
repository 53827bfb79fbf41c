#include "SimCommands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "MouseReports.h"

namespace simmouse {
namespace {

bool HasLine(const std::vector<std::string>& lines, const std::string& wanted) {
    return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

TEST(SimCommandsAttachment, AttachAndDetachTellTheMonitorsOnce) {
    MouseModel mouse(0x3E71);
    CommandOutcome attach = ExecuteCommand(mouse, "attach");
    EXPECT_TRUE(attach.reply.ok);
    ASSERT_EQ(attach.events.size(), 1u);
    EXPECT_EQ(FormatMonitorEvent(attach.events[0]), "device attached 3e71 0143");

    EXPECT_TRUE(ExecuteCommand(mouse, "attach").events.empty());

    CommandOutcome detach = ExecuteCommand(mouse, "detach");
    ASSERT_EQ(detach.events.size(), 1u);
    EXPECT_FALSE(detach.events[0].attached);
}

TEST(SimCommandsInput, InjectSendsTheRawReportOnItsCollection) {
    MouseModel mouse(0x3E71, true);
    CommandOutcome inject = ExecuteCommand(mouse, "inject 2 04 01 02");
    ASSERT_TRUE(inject.reply.ok);
    ASSERT_EQ(inject.events.size(), 1u);
    EXPECT_EQ(FormatMonitorEvent(inject.events[0]), "input 2 04 01 02");
}

TEST(SimCommandsInput, DetachedMouseSendsNothing) {
    MouseModel mouse(0x3E71);
    CommandOutcome inject = ExecuteCommand(mouse, "inject 3 03 20 00");
    EXPECT_FALSE(inject.reply.ok);
    EXPECT_TRUE(inject.events.empty());
    EXPECT_FALSE(ExecuteCommand(mouse, "press cpi 2").reply.ok);
}

TEST(SimCommandsInput, MalformedInjectIsRefused) {
    MouseModel mouse(0x3E71, true);
    EXPECT_FALSE(ExecuteCommand(mouse, "inject 3").reply.ok);
    EXPECT_FALSE(ExecuteCommand(mouse, "inject 3 3 20").reply.ok);
    EXPECT_FALSE(ExecuteCommand(mouse, "inject 70000 03").reply.ok);
}

TEST(SimCommandsInput, PressReportsWhatTheMouseSent) {
    MouseModel mouse(0x3E71, true);
    CommandOutcome profile = ExecuteCommand(mouse, "press profile 2");
    ASSERT_TRUE(profile.reply.ok);
    EXPECT_EQ(profile.reply.lines, std::vector<std::string>{"sent 03 20 00"});
    ASSERT_EQ(profile.events.size(), 1u);
    EXPECT_EQ(FormatMonitorEvent(profile.events[0]), "input 3 03 20 00");

    CommandOutcome button = ExecuteCommand(mouse, "press button 1");
    ASSERT_TRUE(button.reply.ok);
    EXPECT_EQ(button.reply.lines, std::vector<std::string>{"no report"});
    EXPECT_TRUE(button.events.empty());

    EXPECT_FALSE(ExecuteCommand(mouse, "press wheel 1").reply.ok);
    EXPECT_FALSE(ExecuteCommand(mouse, "press cpi").reply.ok);
}

TEST(SimCommandsWrites, WriteRepliesOkOnlyWhenTheMouseTookIt) {
    MouseModel mouse(0x3E71, true);
    const std::string report = FormatHex(testing::GlobalReport(2, 1));
    EXPECT_TRUE(ExecuteCommand(mouse, "write 3 " + report).reply.ok);
    EXPECT_FALSE(ExecuteCommand(mouse, "write 2 " + report).reply.ok);
    EXPECT_FALSE(ExecuteCommand(mouse, "write 3 00 01").reply.ok);
    EXPECT_FALSE(ExecuteCommand(mouse, "write 3 zz").reply.ok);
    EXPECT_EQ(mouse.Log().size(), 3u);
}

TEST(SimCommandsWrites, FailCommandSetsThePlan) {
    MouseModel mouse(0x3E71, true);
    ASSERT_TRUE(ExecuteCommand(mouse, "fail 2").reply.ok);
    EXPECT_EQ(mouse.Failure().kind, FailurePlan::Kind::Nth);
    EXPECT_EQ(mouse.Failure().remaining, 2u);
    ASSERT_TRUE(ExecuteCommand(mouse, "fail all").reply.ok);
    EXPECT_EQ(mouse.Failure().kind, FailurePlan::Kind::All);
    ASSERT_TRUE(ExecuteCommand(mouse, "fail none").reply.ok);
    EXPECT_EQ(mouse.Failure().kind, FailurePlan::Kind::None);
    EXPECT_FALSE(ExecuteCommand(mouse, "fail 0").reply.ok);
    EXPECT_FALSE(ExecuteCommand(mouse, "fail some").reply.ok);
}

TEST(SimCommandsLog, OrdinalsAreLoggedAndLogCanBeCleared) {
    MouseModel mouse(0x3E71);
    ExecuteCommand(mouse, "ordinal 2 -> 0");
    EXPECT_EQ(ExecuteCommand(mouse, "log").reply.lines, std::vector<std::string>{"ordinal 2 -> 0"});
    ExecuteCommand(mouse, "clear-log");
    EXPECT_TRUE(ExecuteCommand(mouse, "log").reply.lines.empty());
}

TEST(SimCommandsState, DescribesAttachmentProfilesAndSettings) {
    MouseModel mouse(0x3E71, true);
    ASSERT_TRUE(testing::Upload(mouse, 3, testing::TableWithKeyCode(2, 0xE9)));
    mouse.Write(kSecondCollection, testing::GlobalReport(3, 2));
    mouse.PressCpiKey(2);
    const auto lines = ExecuteCommand(mouse, "state").reply.lines;
    EXPECT_TRUE(HasLine(lines, "attached: yes"));
    EXPECT_TRUE(HasLine(lines, "vendor: 3e71 product: 0143"));
    EXPECT_TRUE(HasLine(lines, "profile: 3"));
    EXPECT_TRUE(HasLine(lines, "cpi: 2"));
    EXPECT_TRUE(HasLine(lines, "stored: 3"));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.starts_with("global: profile=3 polling-rate=2"); }));
}



TEST(SimCommandsWaitLog, TimeoutComesFirstAndThePatternKeepsItsSpaces) {
    const auto request = ParseWaitLog("1500 write 3 ok 00 07");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->timeoutMs, 1500u);
    EXPECT_EQ(request->pattern, "write 3 ok 00 07");
    EXPECT_FALSE(ParseWaitLog("1500"));
    EXPECT_FALSE(ParseWaitLog("soon write"));
}

TEST(SimCommandsWaitLog, FindsTheFirstMatchingLineIgnoringCase) {
    const std::vector<std::string> log{"ordinal 7 null", "write 3 ok 55 aa", "write 3 ok 55 aa 33"};
    EXPECT_EQ(FindLogLine(log, "55 AA"), "write 3 ok 55 aa");
    EXPECT_FALSE(FindLogLine(log, "write 3 failed"));
}

}  // namespace
}  // namespace simmouse
