// Any settings image, valid or not, builds upload reports of 33 bytes with byte 0 zero,
// page reports that are the slot table's bytes, and a keystroke mask of exactly the slots
// that hold sequence records.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "SlotTable.h"
#include "UploadReports.h"

namespace {

constexpr std::size_t kSequenceStart = 2;

void Require(bool condition) {
    if (!condition) std::abort();
}

void RequireReport(const OutputReport& report) {
    static_assert(sizeof(OutputReport) == 33);
    Require(report[0] == 0);
}

void CheckProfile(const ProfileSettings& profile, int profileIndex) {
    const SlotTable table = BuildSlotTable(profile);

    std::uint8_t sequenceSlots = 0;
    for (int b = 0; b < kButtonCount; ++b) {
        const ButtonAssignment& button = profile.Buttons[b];
        const EncodedButton encoded = EncodeButton(button, b);
        const int slot = ButtonToDeviceSlot(b);
        Require(slot >= 0 && slot < kDeviceSlotCount);
        Require(std::equal(encoded.Record.begin(), encoded.Record.end(), table.Slot(slot).begin()));
        if (encoded.IsSequence) sequenceSlots |= static_cast<std::uint8_t>(1u << slot);
        if (button.ButtonFunc == kKeySequenceFunc) {
            // Only the entries that KeyData holds, however many KeyNumber claims.
            Require(encoded.IsSequence);
            const std::size_t sent = kSequenceStart + 2 * std::min<std::size_t>(button.KeyNumber, kKeyDataEntries);
            Require(std::all_of(encoded.Record.begin() + sent, encoded.Record.end(), [](auto v) { return v == 0; }));
        }
    }
    Require(table.KeystrokeSlotMask == sequenceSlots);

    RequireReport(ProfileHeaderReport(profileIndex));
    const OutputReport parameters = ProfileParameterReport(profile, table.KeystrokeSlotMask);
    RequireReport(parameters);
    Require(parameters[2] == table.KeystrokeSlotMask);
    for (int page = 0; page < kButtonPageCount; ++page) {
        const OutputReport report = ButtonPageReport(table, page);
        RequireReport(report);
        Require(std::equal(report.begin() + 1, report.end(), table.Bytes.begin() + page * kButtonPageBytes));
    }
}

// Copies the input's bytes into fields one after another, zero where it runs out.
class FieldFiller {
public:
    FieldFiller(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <class Field>
    void Fill(Field& field) {
        const std::size_t count = std::min(sizeof(Field), size_);
        std::memset(static_cast<void*>(&field), 0, sizeof(Field));
        std::memcpy(static_cast<void*>(&field), data_, count);
        data_ += count;
        size_ -= count;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// Every field but the texts, which no report carries, so that short inputs reach the
// buttons of the last profile. The texts keep a pattern that shows up in a record that
// copies more than its fields.
void FillImage(FieldFiller& input, SettingsImage& image) {
    std::memset(static_cast<void*>(&image), 0x5A, sizeof(image));
    input.Fill(image.Profile);
    input.Fill(image.PollingRate);
    for (ProfileSettings& p : image.Groups) {
        for (std::int32_t* value : {&p.DPI, &p.LedState, &p.FlashState, &p.XYSensitivityEnabled, &p.MouseSpeedX,
                                    &p.MouseSpeedY, &p.OFASensitivity})
            input.Fill(*value);
        for (ButtonAssignment& button : p.Buttons) {
            input.Fill(button.ButtonFunc);
            input.Fill(button.KeyNumber);
            input.Fill(button.ButtonID);
            input.Fill(button.KeyData);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image = std::make_unique<SettingsImage>();
    FieldFiller input(data, size);
    FillImage(input, *image);

    RequireReport(GlobalSettingsReport(*image));
    for (int g = 0; g < kProfileCount; ++g) CheckProfile(image->Groups[g], g);
    return 0;
}
