#include "MouseModel.h"

#include "HidDeviceContract.h"

namespace simmouse {

namespace {

InputReport KeyReport(std::uint8_t code) { return {kInputCollection, {kKeyReportId, code, 0}}; }

constexpr std::uint8_t kRecordKindKeyCode = 4;

}  // namespace

MouseModel::MouseModel(std::uint32_t vendorId, bool attached) : vendorId_(vendorId), attached_(attached) {}

std::uint32_t MouseModel::ProductId() const { return hid::kProductId; }

bool MouseModel::Attach() {
    if (attached_) return false;
    attached_ = true;
    return true;
}

bool MouseModel::Detach() {
    if (!attached_) return false;
    attached_ = false;
    // A half-sent upload dies with the connection.
    upload_.Abandon();
    return true;
}

bool MouseModel::FailsThisWrite() {
    switch (failure_.kind) {
        case FailurePlan::Kind::None: return false;
        case FailurePlan::Kind::All: return true;
        case FailurePlan::Kind::Nth:
            if (--failure_.remaining > 0) return false;
            failure_ = {};
            return true;
    }
    return false;
}

bool MouseModel::Write(std::uint32_t collection, std::span<const std::uint8_t> report) {
    const bool reachesMouse = attached_ && collection == kSecondCollection && report.size() == kOutputReportSize;
    // Only writes that reach the mouse count towards a planned failure.
    const bool ok = reachesMouse && !FailsThisWrite();
    if (ok) Store(report);
    return ok;
}

void MouseModel::Store(std::span<const std::uint8_t> report) {
    const bool isGlobal = report[1] == 7 && report[2] == 1;
    if (!upload_.InProgress() && isGlobal) {
        GlobalSettings settings;
        settings.report.assign(report.begin(), report.end());
        if (report[3] >= 1 && report[3] <= kProfileCount) {
            settings.profileNumber = report[3];
            currentProfile_ = report[3] - 1u;
        }
        for (int code = 0; code < 8; ++code) {
            if (report[4] == 1u << code) settings.pollingRateCode = code;
        }
        global_ = std::move(settings);
        return;
    }
    if (auto completed = upload_.Take(report)) profiles_[completed->profile] = std::move(completed->contents);
}

PressResult MouseModel::PressProfileKey(int number) {
    if (number < 1 || number > static_cast<int>(kProfileCount)) return {"profile key must be 1..3", {}};
    if (!attached_) return {"mouse detached", {}};
    currentProfile_ = static_cast<std::size_t>(number - 1);
    return {{}, KeyReport(static_cast<std::uint8_t>(number << 4))};
}

PressResult MouseModel::PressCpiKey(int level) {
    if (level < 1 || level > kCpiLevels) return {"CPI key must be 1..4", {}};
    if (!attached_) return {"mouse detached", {}};
    cpiLevel_ = level;
    return {{}, KeyReport(static_cast<std::uint8_t>(level))};
}

std::size_t MouseModel::SlotOffsetOfButton(int button) {
    // Buttons 1..6 use slots 2..7; buttons 7 and 8 use slots 0 and 1.
    const std::size_t slot = button <= 6 ? static_cast<std::size_t>(button + 1) : static_cast<std::size_t>(button - 7);
    return slot * kSlotRecordSize;
}

PressResult MouseModel::PressButton(int button) {
    if (button < 1 || button > kButtonCount) return {"button must be 1..8", {}};
    if (!attached_) return {"mouse detached", {}};
    const auto& profile = profiles_[currentProfile_];
    if (!profile) return {};
    const std::uint8_t* record = profile->slots.data() + SlotOffsetOfButton(button);
    // Other kinds act as mouse buttons or play key sequences: nothing reaches the host's reader.
    if (record[0] != kRecordKindKeyCode) return {};
    return {{}, KeyReport(record[3])};
}

}  // namespace simmouse
