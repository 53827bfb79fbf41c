#include "ControlArgs.h"

#include <gtest/gtest.h>

namespace simmouse {
namespace {

Invocation Parse(const std::vector<std::string>& args) {
    const ParsedArgs parsed = ParseControlArgs(args);
    EXPECT_TRUE(parsed.invocation.has_value()) << parsed.error;
    return parsed.invocation.value_or(Invocation{});
}

std::string ErrorOf(const std::vector<std::string>& args) {
    const ParsedArgs parsed = ParseControlArgs(args);
    EXPECT_FALSE(parsed.invocation.has_value());
    return parsed.error;
}

TEST(ControlArgsServe, OptionsAreRead) {
    const Invocation serve = Parse({"serve", "--attached", "--vendor", "0x1A2B", "--pipe", "Test1"});
    EXPECT_EQ(serve.action, Invocation::Action::Serve);
    EXPECT_TRUE(serve.attached);
    EXPECT_EQ(serve.vendorId, 0x1A2Bu);
    EXPECT_EQ(serve.pipe, "Test1");

    const Invocation plain = Parse({"serve"});
    EXPECT_FALSE(plain.attached);
    EXPECT_FALSE(plain.vendorId.has_value());
    EXPECT_FALSE(plain.pipe.has_value());
}

TEST(ControlArgsServe, BadOptionsAreRefused) {
    EXPECT_FALSE(ErrorOf({"serve", "--vendor"}).empty());
    EXPECT_FALSE(ErrorOf({"serve", "--vendor", "0x12345"}).empty());
    EXPECT_FALSE(ErrorOf({"attach", "--attached"}).empty());
    EXPECT_FALSE(ErrorOf({"serve", "now"}).empty());
    EXPECT_FALSE(ErrorOf({"state", "--pipe"}).empty());
}

TEST(ControlArgsRequests, SimpleCommandsPassThrough) {
    for (const char* command : {"attach", "detach", "log", "clear-log", "state", "quit"}) {
        const Invocation invocation = Parse({command});
        EXPECT_EQ(invocation.action, Invocation::Action::Request);
        EXPECT_EQ(invocation.request, command);
    }
    EXPECT_EQ(Parse({"fail", "3"}).request, "fail 3");
    EXPECT_EQ(Parse({"press", "button", "7"}).request, "press button 7");
}

TEST(ControlArgsRequests, PipeMayComeAnywhere) {
    const Invocation invocation = Parse({"--pipe", "\\\\.\\pipe\\X", "attach"});
    EXPECT_EQ(invocation.pipe, "\\\\.\\pipe\\X");
    EXPECT_EQ(invocation.request, "attach");
}

TEST(ControlArgsRequests, InjectNormalisesBytesAndDefaultsToCollectionThree) {
    EXPECT_EQ(Parse({"inject", "03", "20", "00"}).request, "inject 3 03 20 00");
    EXPECT_EQ(Parse({"inject", "04", "FF", "--id", "2"}).request, "inject 2 04 ff");
    EXPECT_EQ(Parse({"inject", "03 20 00"}).request, "inject 3 03 20 00");
    EXPECT_FALSE(ErrorOf({"inject"}).empty());
    EXPECT_FALSE(ErrorOf({"inject", "3"}).empty());
    EXPECT_FALSE(ErrorOf({"state", "--id", "2"}).empty());
}

TEST(ControlArgsRequests, WaitLogPutsTheTimeoutFirstAndWaitsLongerForTheReply) {
    const Invocation invocation = Parse({"wait-log", "write 3 ok", "2000"});
    EXPECT_EQ(invocation.request, "wait-log 2000 write 3 ok");
    EXPECT_GT(invocation.replyTimeoutMs, 2000u);
    EXPECT_FALSE(ErrorOf({"wait-log", "x"}).empty());
    EXPECT_FALSE(ErrorOf({"wait-log", "x", "soon"}).empty());
}

TEST(ControlArgsRequests, WaitReadyTakesATimeout) {
    const Invocation invocation = Parse({"wait-ready", "3000"});
    EXPECT_EQ(invocation.action, Invocation::Action::WaitReady);
    EXPECT_EQ(invocation.readyTimeoutMs, 3000u);
}


TEST(ControlArgsRequests, UnknownOrMisshapenCommandsAreRefused) {
    EXPECT_FALSE(ErrorOf({"explode"}).empty());
    EXPECT_FALSE(ErrorOf({"attach", "now"}).empty());
    EXPECT_FALSE(ErrorOf({"press", "button"}).empty());
    EXPECT_FALSE(ErrorOf({"state", "\x01"}).empty());
}

}  // namespace
}  // namespace simmouse
