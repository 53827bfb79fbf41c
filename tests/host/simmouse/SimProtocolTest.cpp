#include "SimProtocol.h"

#include <gtest/gtest.h>

#include "PipeName.h"

namespace simmouse {
namespace {

TEST(SimProtocolHex, FormatsLowerCasePairs) {
    const Bytes bytes{0x03, 0x20, 0x00, 0xAB, 0xFF};
    EXPECT_EQ(FormatHex(bytes), "03 20 00 ab ff");
    EXPECT_EQ(FormatHex(Bytes{}), "");
}

TEST(SimProtocolHex, ParsesEitherCaseAndAnySpacing) {
    EXPECT_EQ(ParseHex("03 20 00"), (Bytes{3, 0x20, 0}));
    EXPECT_EQ(ParseHex("  55\tAA 33  cc "), (Bytes{0x55, 0xAA, 0x33, 0xCC}));
    EXPECT_EQ(ParseHex(""), Bytes{});
}

TEST(SimProtocolHex, RejectsAnythingButTwoDigitPairs) {
    EXPECT_FALSE(ParseHex("3 20"));
    EXPECT_FALSE(ParseHex("0320"));
    EXPECT_FALSE(ParseHex("0g"));
    EXPECT_FALSE(ParseHex("03,20"));
    EXPECT_FALSE(ParseHex("0x03"));
}

TEST(SimProtocolHex, RoundTripsEveryByteValue) {
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(ParseHex(FormatHex(all)), all);
}

TEST(SimProtocolNumbers, DecimalAndHexWithinThirtyTwoBits) {
    EXPECT_EQ(ParseNumber("0"), 0u);
    EXPECT_EQ(ParseNumber("250"), 250u);
    EXPECT_EQ(ParseNumber("0x3E71"), 0x3E71u);
    EXPECT_EQ(ParseNumber("0xffffffff"), 0xFFFFFFFFu);
    EXPECT_FALSE(ParseNumber(""));
    EXPECT_FALSE(ParseNumber("0x"));
    EXPECT_FALSE(ParseNumber("-1"));
    EXPECT_FALSE(ParseNumber("12a"));
    EXPECT_FALSE(ParseNumber("4294967296"));
    EXPECT_FALSE(ParseNumber("0x100000000"));
}


TEST(SimProtocolLines, OnlyPrintableBoundedLinesPass) {
    EXPECT_TRUE(IsPrintableLine("write 3 00 01"));
    EXPECT_FALSE(IsPrintableLine("write\x01"));
    EXPECT_FALSE(IsPrintableLine("caf\xc3\xa9"));
    EXPECT_FALSE(IsPrintableLine(std::string(kMaxLineLength + 1, 'a')));
}


TEST(SimProtocolReplies, OkCarriesItsLineCount) {
    const std::string text = FormatReply(Reply::Ok({"attached: yes", "cpi: 2"}));
    EXPECT_EQ(text, "ok 2\nattached: yes\ncpi: 2\n");
    const auto status = ParseReplyStatus("ok 2");
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->ok);
    EXPECT_EQ(status->lineCount, 2u);
}

TEST(SimProtocolReplies, ErrorCarriesItsMessage) {
    EXPECT_EQ(FormatReply(Reply::Error("mouse detached")), "error mouse detached\n");
    const auto status = ParseReplyStatus("error mouse detached");
    ASSERT_TRUE(status);
    EXPECT_FALSE(status->ok);
    EXPECT_EQ(status->error, "mouse detached");
}

TEST(SimProtocolReplies, NonsenseIsNoReply) {
    EXPECT_FALSE(ParseReplyStatus("okay"));
    EXPECT_FALSE(ParseReplyStatus("ok"));
    EXPECT_FALSE(ParseReplyStatus("ok x"));
    EXPECT_FALSE(ParseReplyStatus("ok 0x10"));
    EXPECT_FALSE(ParseReplyStatus("device attached 3e71 0143"));
}

TEST(SimProtocolMonitor, DeviceEventsRoundTrip) {
    const MonitorEvent attached = MonitorEvent::Device(true, 0x3E71, 0x0143);
    EXPECT_EQ(FormatMonitorEvent(attached), "device attached 3e71 0143");
    const auto parsed = ParseMonitorEvent("device detached 3E71 0143");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->kind, MonitorEvent::Kind::Device);
    EXPECT_FALSE(parsed->attached);
    EXPECT_EQ(parsed->vendorId, 0x3E71u);
    EXPECT_EQ(parsed->productId, 0x0143u);
}

TEST(SimProtocolMonitor, InputEventsRoundTrip) {
    const MonitorEvent input = MonitorEvent::Input(3, {3, 0x20, 0});
    EXPECT_EQ(FormatMonitorEvent(input), "input 3 03 20 00");
    const auto parsed = ParseMonitorEvent(FormatMonitorEvent(input));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->kind, MonitorEvent::Kind::Input);
    EXPECT_EQ(parsed->collection, 3u);
    EXPECT_EQ(parsed->report, (Bytes{3, 0x20, 0}));
}

TEST(SimProtocolMonitor, MalformedEventsAreRejected) {
    EXPECT_FALSE(ParseMonitorEvent("input 3"));
    EXPECT_FALSE(ParseMonitorEvent("input x 03"));
    EXPECT_FALSE(ParseMonitorEvent("input 3 3 20"));
    EXPECT_FALSE(ParseMonitorEvent("device plugged 3e71 0143"));
    EXPECT_FALSE(ParseMonitorEvent("device attached 3e71"));
    EXPECT_FALSE(ParseMonitorEvent("device attached 3e71 0143 extra"));
    EXPECT_FALSE(ParseMonitorEvent("ok 0"));
}

TEST(SimPipeName, BareNamesGoUnderThePipeFolder) {
    EXPECT_EQ(FullPipeName(L""), kDefaultPipeName);
    EXPECT_EQ(FullPipeName(L"Tern7Test42"), L"\\\\.\\pipe\\Tern7Test42");
    EXPECT_EQ(FullPipeName(L"\\\\.\\pipe\\Other"), L"\\\\.\\pipe\\Other");
}

}  // namespace
}  // namespace simmouse
