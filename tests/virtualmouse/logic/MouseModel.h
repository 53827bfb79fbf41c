#pragma once
// What the mouse is and does, without any I/O: attachment, the output reports it accepts
// and stores, the write failures it is told to produce and its key presses. Operations
// that make the mouse send an input report return that report; sending it is the caller's
// business.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ProfileUpload.h"

namespace simmouse {

// The collections the mouse opens, in this order, and the one that takes output reports.
inline constexpr std::uint32_t kMainCollection = 2;
inline constexpr std::uint32_t kSecondCollection = 3;
inline constexpr std::uint32_t kInputCollection = kSecondCollection;
inline constexpr std::uint8_t kKeyReportId = 3;
inline constexpr std::size_t kOutputReportSize = 33;
inline constexpr int kCpiLevels = 4;
inline constexpr int kButtonCount = 8;

struct InputReport {
    std::uint32_t collection = kInputCollection;
    std::vector<std::uint8_t> bytes;  // report identifier first
};

struct GlobalSettings {
    std::vector<std::uint8_t> report;
    int profileNumber = 0;               // 1..3 as sent, 0 when out of range
    std::optional<int> pollingRateCode;  // n of byte 4 == 1 << n
};

struct FailurePlan {
    enum class Kind { None, All, Nth };
    Kind kind = Kind::None;
    std::uint32_t remaining = 0;  // Kind::Nth: the write that fails, counting from 1
};

// What a key press or button press did.
struct PressResult {
    std::string error;                  // non-empty when the press was refused
    std::optional<InputReport> report;  // what the mouse sends, if anything
};

class MouseModel {
public:
    explicit MouseModel(std::uint32_t vendorId, bool attached = false);

    std::uint32_t VendorId() const { return vendorId_; }
    std::uint32_t ProductId() const;

    bool Attached() const { return attached_; }
    // Both return whether the state changed.
    bool Attach();
    bool Detach();

    void SetFailure(FailurePlan plan) { failure_ = plan; }
    FailurePlan Failure() const { return failure_; }

    // An output report from the host. True when the mouse took it.
    bool Write(std::uint32_t collection, std::span<const std::uint8_t> report);

    PressResult PressProfileKey(int number);  // 1..3
    PressResult PressCpiKey(int level);       // 1..4
    PressResult PressButton(int button);      // 1..8

    const std::optional<GlobalSettings>& Global() const { return global_; }
    const std::optional<StoredProfile>& Profile(std::size_t slot) const { return profiles_.at(slot); }
    std::size_t CurrentProfile() const { return currentProfile_; }
    int CpiLevel() const { return cpiLevel_; }
    bool UploadInProgress() const { return upload_.InProgress(); }

    // The byte offset of a button's record in the slot table.
    static std::size_t SlotOffsetOfButton(int button);

private:
    bool FailsThisWrite();
    void Store(std::span<const std::uint8_t> report);

    std::uint32_t vendorId_;
    bool attached_;
    FailurePlan failure_;
    std::optional<GlobalSettings> global_;
    std::array<std::optional<StoredProfile>, kProfileCount> profiles_;
    ProfileUpload upload_;
    std::size_t currentProfile_ = 0;
    int cpiLevel_ = 1;
};

}  // namespace simmouse
