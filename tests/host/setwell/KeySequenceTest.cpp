#include <gtest/gtest.h>

#include "DeviceFunctionTable.h"
#include "KeySequence.h"
#include "SlotTable.h"

namespace {

constexpr unsigned kVkControl = 0x11;

ButtonAssignment EmptyButton() {
    ButtonAssignment button{};
    button.ButtonID = 1;
    return button;
}

TEST(KeySequence, RecordedCtrlCTravelsLikeTheMousesOwnCopySequence) {
    ButtonAssignment button = EmptyButton();
    button.ButtonFunc = kKeySequenceFunc;
    const std::uint8_t control = KeyUsageOfVirtualKey(kVkControl, false);
    const std::uint8_t c = KeyUsageOfVirtualKey('C', false);
    ASSERT_TRUE(AppendKeyEvent(button, control, false));
    ASSERT_TRUE(AppendKeyEvent(button, c, false));
    ASSERT_TRUE(AppendKeyEvent(button, c, true));
    ASSERT_TRUE(AppendKeyEvent(button, control, true));
    EXPECT_EQ(button.KeyNumber, 4);
    EXPECT_EQ(KeySequenceText(button), L"Left Ctrl down, C down, C up, Left Ctrl up");

    // The upload puts the recorded events where the copy function's row has its own.
    const EncodedButton encoded = EncodeButton(button, 0);
    const DeviceFunctionRow* copy = FindDeviceFunction(14);
    ASSERT_NE(copy, nullptr);
    for (std::size_t i = 2; i < kFunctionRowBytes; ++i) EXPECT_EQ(encoded.Record[i], copy->Bytes[i]) << "byte " << i;
    EXPECT_TRUE(encoded.IsSequence);
}

TEST(KeySequence, HeldKeysCountOnceAndTheSequenceStopsAtFortyEvents) {
    ButtonAssignment button = EmptyButton();
    ASSERT_TRUE(AppendKeyEvent(button, 0x04, false));
    ASSERT_TRUE(AppendKeyEvent(button, 0x04, false));  // auto-repeat
    EXPECT_EQ(button.KeyNumber, 1);
    ASSERT_TRUE(AppendKeyEvent(button, 0x04, true));
    ASSERT_TRUE(AppendKeyEvent(button, 0x04, false));  // pressed again after release
    EXPECT_EQ(button.KeyNumber, 3);

    EXPECT_FALSE(AppendKeyEvent(button, 0, false)) << "a key without a usage is not recorded";
    ClearKeySequence(button);
    for (int i = 0; i < kKeyDataEntries; ++i)
        ASSERT_TRUE(AppendKeyEvent(button, static_cast<std::uint8_t>(0x04 + i / 2), i % 2 == 1)) << "event " << i;
    EXPECT_FALSE(AppendKeyEvent(button, 0x05, true));
    EXPECT_EQ(button.KeyNumber, kKeyDataEntries);
}

TEST(KeySequence, ACountBeyondTheBlockShowsOnlyTheEventsThereAre) {
    ButtonAssignment button = EmptyButton();
    button.KeyNumber = 255;  // what a missing key reads as
    for (int i = 0; i < kKeyDataEntries; ++i) {
        button.KeyData[2 * i] = kKeyRelease;
        button.KeyData[2 * i + 1] = 0x04;
    }
    std::wstring text = KeySequenceText(button);
    std::size_t events = 0;
    for (std::size_t at = text.find(L"A up"); at != std::wstring::npos; at = text.find(L"A up", at + 1)) ++events;
    EXPECT_EQ(events, static_cast<std::size_t>(kKeyDataEntries));
    EXPECT_FALSE(AppendKeyEvent(button, 0x05, false)) << "a full block takes no more";
}

TEST(KeySequence, ModifiersAndKeysMapToTheirUsages) {
    EXPECT_EQ(KeyUsageOfVirtualKey(kVkControl, true), 0xE4);  // right Ctrl
    EXPECT_EQ(KeyUsageOfVirtualKey('A', false), 0x04);
    EXPECT_EQ(KeyUsageOfVirtualKey('0', false), 0x27);
    EXPECT_EQ(KeyUsageOfVirtualKey(0x70, false), 0x3A);  // F1
    EXPECT_EQ(KeyUsageOfVirtualKey(0x0D, false), 0x28);  // Enter
    EXPECT_EQ(KeyUsageOfVirtualKey(0xFF, false), 0);
    EXPECT_EQ(KeyUsageName(0x3A), L"F1");
    EXPECT_EQ(KeyUsageName(0x27), L"0");
}

}  // namespace
