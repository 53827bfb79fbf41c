#include "SlotTable.h"

#include <algorithm>

#include "DeviceFunctionTable.h"

namespace {

// Function codes that need more than their row.
constexpr std::uint8_t kNumberedClick = 29;
// The code that the mouse sends for the program button of button index 0.
constexpr std::uint8_t kFirstProgramCode = 0xF6;

// The user's key sequence follows the 16-bit id in bytes 0 and 1.
constexpr std::size_t kSequenceStart = 2;

bool IsTabledSequence(std::uint8_t func) { return (func >= 14 && func <= 19) || func == 27 || func == 28; }

void EncodeKeySequence(const ButtonAssignment& button, ButtonRecord& record) {
    record[0] = static_cast<std::uint8_t>(button.ButtonID >> 8);
    record[1] = static_cast<std::uint8_t>(button.ButtonID);
    // KeyNumber comes from the file and may claim more entries than KeyData holds (255
    // when the key is missing); only the entries that exist are sent.
    const int entries = std::min<int>(button.KeyNumber, kKeyDataEntries);
    static_assert(kSequenceStart + kKeyDataBytes <= kButtonRecordBytes);
    std::copy_n(button.KeyData.begin(), 2 * entries, record.begin() + kSequenceStart);
}

}  // namespace

int ButtonToDeviceSlot(int buttonIndex) { return buttonIndex < 6 ? buttonIndex + 2 : buttonIndex - 6; }

EncodedButton EncodeButton(const ButtonAssignment& button, int buttonIndex) {
    EncodedButton encoded;
    ButtonRecord& record = encoded.Record;
    const std::uint8_t func = button.ButtonFunc;
    if (func == kKeySequenceFunc) {
        EncodeKeySequence(button, record);
        encoded.IsSequence = true;
        return encoded;
    }
    const DeviceFunctionRow* row = FindDeviceFunction(func);
    if (!row) {
        // Unknown codes act as the first function.
        row = FindDeviceFunction(1);
    }
    std::copy(row->Bytes.begin(), row->Bytes.end(), record.begin());
    if (func == kNumberedClick) {
        record[0] = 0;
        record[1] = static_cast<std::uint8_t>(button.ButtonID);
        encoded.IsSequence = true;
    } else if (func == kRunProgramFunc) {
        record[3] = static_cast<std::uint8_t>(kFirstProgramCode + buttonIndex);
    } else {
        encoded.IsSequence = IsTabledSequence(func);
    }
    return encoded;
}

SlotTable BuildSlotTable(const ProfileSettings& profile) {
    SlotTable table;
    for (int b = 0; b < kButtonCount; ++b) {
        const EncodedButton encoded = EncodeButton(profile.Buttons[b], b);
        const int slot = ButtonToDeviceSlot(b);
        std::copy(encoded.Record.begin(), encoded.Record.end(), table.Bytes.begin() + slot * kButtonRecordBytes);
        if (encoded.IsSequence) table.KeystrokeSlotMask |= static_cast<std::uint8_t>(1u << slot);
    }
    return table;
}
