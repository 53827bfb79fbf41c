#include <gtest/gtest.h>

#include <vector>

#include "ExampleButtons.h"
#include "SlotTable.h"
#include "UploadTestSettings.h"

namespace {

ProfileSettings DefaultProfile() { return DefaultSettings().Groups[0]; }

TEST(SlotTable, DefaultButtonsGiveTheMouseFunctionsInTheirSlots) {
    const SlotTable table = BuildSlotTable(DefaultProfile());
    const std::uint8_t functions[kDeviceSlotCount] = {0xF7, 0xF8, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF9};
    for (int slot = 0; slot < kDeviceSlotCount; ++slot) {
        EXPECT_EQ(table.Slot(slot)[0], 0) << "slot " << slot;
        EXPECT_EQ(table.Slot(slot)[1], functions[slot]) << "slot " << slot;
        EXPECT_TRUE(ZeroFrom(table.Slot(slot), 2)) << "slot " << slot;
    }
    EXPECT_EQ(table.KeystrokeSlotMask, 0);
}

TEST(SlotTable, ProgramButtonMakesTheMouseSendACodeOfItsOwn) {
    ProfileSettings profile = DefaultProfile();
    profile.Buttons[2].ButtonFunc = kRunProgramFunc;
    profile.Buttons[7].ButtonFunc = kRunProgramFunc;
    const SlotTable table = BuildSlotTable(profile);
    EXPECT_EQ(Bytes(table.Slot(4), 0, 4), (std::vector<std::uint8_t>{0x04, 0x00, 0x00, 0xF8}));
    EXPECT_TRUE(ZeroFrom(table.Slot(4), 4));
    // Button 8 sits in slot 1 and gets the last code.
    EXPECT_EQ(Bytes(table.Slot(1), 0, 4), (std::vector<std::uint8_t>{0x04, 0x00, 0x00, 0xFD}));
    EXPECT_EQ(table.KeystrokeSlotMask, 0);
}

TEST(SlotTable, KeySequenceCarriesTheButtonIdAndTheUsersKeys) {
    ProfileSettings profile = DefaultProfile();
    ButtonAssignment& button = profile.Buttons[0] = KeySequenceButton();
    // Entries beyond KeyNumber are not sent.
    button.KeyData[4] = 0x00;
    button.KeyData[5] = 0x04;
    const SlotTable table = BuildSlotTable(profile);
    EXPECT_EQ(Bytes(table.Slot(2), 0, 6), (std::vector<std::uint8_t>{0x01, 0x02, 0x00, 0xE0, 0x80, 0xE0}));
    EXPECT_TRUE(ZeroFrom(table.Slot(2), 6));
    EXPECT_EQ(table.KeystrokeSlotMask, 1 << 2);
}

TEST(SlotTable, KeyNumberBeyondKeyDataSendsOnlyTheEntriesThatExist) {
    ProfileSettings profile = DefaultProfile();
    for (int b : {0, 1}) {
        profile.Buttons[b].ButtonFunc = kKeySequenceFunc;
        profile.Buttons[b].ButtonID = 0;
        profile.Buttons[b].KeyNumber = 255;  // what a missing key reads as
        profile.Buttons[b].KeyData.fill(0xAB);
    }
    const SlotTable table = BuildSlotTable(profile);
    for (int slot : {2, 3}) {
        const auto record = table.Slot(slot);
        for (std::size_t i = 2; i < 2 + kKeyDataBytes; ++i)
            ASSERT_EQ(record[i], 0xAB) << "slot " << slot << " byte " << i;
        EXPECT_TRUE(ZeroFrom(record, 2 + kKeyDataBytes)) << "slot " << slot;
    }
    // The records stay in their own slots.
    EXPECT_EQ(table.Slot(4)[1], 0xF2);
    EXPECT_EQ(table.KeystrokeSlotMask, (1 << 2) | (1 << 3));
}

TEST(SlotTable, NumberedClickTakesTheLowByteOfTheButtonId) {
    ProfileSettings profile = DefaultProfile();
    profile.Buttons[6].ButtonFunc = 29;
    profile.Buttons[6].ButtonID = 0x1234;
    const SlotTable table = BuildSlotTable(profile);
    EXPECT_EQ(Bytes(table.Slot(0), 0, 7), (std::vector<std::uint8_t>{0x00, 0x34, 0x01, 0xF0, 0x81, 0xF0, 0x00}));
    EXPECT_EQ(table.KeystrokeSlotMask, 1 << 0);
}

TEST(SlotTable, OnlySequenceRowsCountAsKeystrokeSlots) {
    struct Case {
        std::uint8_t Func;
        std::vector<std::uint8_t> Head;
        bool Sequence;
    };
    const Case cases[] = {
        {14, {0x00, 0x01, 0x00, 0xE0, 0x00, 0x06, 0x80, 0x06, 0x80, 0xE0}, true},  // Ctrl+C
        {19, {0x00, 0x01, 0x00, 0xE0, 0x00, 0x16, 0x80, 0x16, 0x80, 0xE0}, true},  // Ctrl+S
        {28, {0x00, 0x05, 0x01, 0xF0, 0x81, 0xF0, 0x00}, true},
        {20, {0x04, 0x00, 0x00, 0xCD, 0x00}, false},  // Play/Pause
        {60, {0x04, 0x00, 0x00, 0xE2, 0x00}, false},  // Mute
        {48, {0x00, 0xEC, 0x00}, false},
        {44, {0x00, 0x00, 0x00, 0x00}, false},  // a row of zeros, not an unknown code
        {99, {0x00, 0xF0, 0x00, 0x00}, false},  // no row: the first function
        {0, {0x00, 0xF0, 0x00, 0x00}, false},
    };
    for (const Case& c : cases) {
        ProfileSettings profile = DefaultProfile();
        profile.Buttons[5].ButtonFunc = c.Func;
        const SlotTable table = BuildSlotTable(profile);
        EXPECT_EQ(Bytes(table.Slot(7), 0, c.Head.size()), c.Head) << "code " << int(c.Func);
        EXPECT_TRUE(ZeroFrom(table.Slot(7), 10)) << "code " << int(c.Func);
        EXPECT_EQ(table.KeystrokeSlotMask, c.Sequence ? 1 << 7 : 0) << "code " << int(c.Func);
    }
}

}  // namespace
