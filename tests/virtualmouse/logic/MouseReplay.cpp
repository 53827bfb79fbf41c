#include "MouseReplay.h"

#include <algorithm>
#include <string_view>

#include "ReportText.h"
#include "Tern7Layout.h"

namespace virtualmouse {

namespace {

constexpr std::string_view kProfileKey = "press profile ";
constexpr std::string_view kCpiKey = "press cpi ";

void ReplayNote(simmouse::MouseModel& mouse, std::string_view note) {
    const auto numberAfter = [&](std::string_view prefix) {
        return simmouse::ParseNumber(note.substr(prefix.size())).value_or(0);
    };
    if (note.starts_with(kProfileKey)) mouse.PressProfileKey(static_cast<int>(numberAfter(kProfileKey)));
    if (note.starts_with(kCpiKey)) mouse.PressCpiKey(static_cast<int>(numberAfter(kCpiKey)));
}

std::span<const std::uint8_t> BytesOf(const vmouse_log_entry& entry) {
    return {entry.bytes, std::min<std::size_t>(entry.length, sizeof entry.bytes)};
}

}  // namespace

std::string ProfileKeyNote(int number) { return std::string(kProfileKey) + std::to_string(number); }

std::string CpiKeyNote(int number) { return std::string(kCpiKey) + std::to_string(number); }

simmouse::MouseModel ReplayModel(std::span<const vmouse_log_entry> log, std::uint32_t vendorId, bool attachedNow) {
    simmouse::MouseModel mouse(vendorId);
    for (const vmouse_log_entry& entry : log) {
        switch (entry.kind) {
            case VMOUSE_LOG_PLUG: mouse.Attach(); break;
            case VMOUSE_LOG_UNPLUG: mouse.Detach(); break;
            case VMOUSE_LOG_WRITE:
                // Only what reached the mouse counts; the vendor collection takes the settings.
                if (entry.outcome == VMOUSE_WRITE_TAKEN && entry.child == kVendorChild)
                    mouse.Write(simmouse::kSecondCollection, BytesOf(entry));
                break;
            case VMOUSE_LOG_NOTE: {
                const auto bytes = BytesOf(entry);
                ReplayNote(mouse, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
                break;
            }
            default: break;
        }
    }
    if (attachedNow)
        mouse.Attach();
    else
        mouse.Detach();
    return mouse;
}

simmouse::FailurePlan FailurePlanOf(std::uint32_t pass, std::uint32_t fail) {
    using Kind = simmouse::FailurePlan::Kind;
    if (fail == 0) return {};
    if (fail == VMOUSE_FAIL_FOREVER && pass == 0) return {Kind::All, 0};
    // The tool plans one failing write at a time; a longer run shows its first.
    return {Kind::Nth, pass + 1};
}

std::vector<LoggedWrite> WritesFrom(std::span<const vmouse_log_entry> log, std::uint32_t from) {
    std::vector<LoggedWrite> writes;
    for (const vmouse_log_entry& entry : log) {
        if (entry.kind != VMOUSE_LOG_WRITE || entry.sequence < from) continue;
        const auto bytes = BytesOf(entry);
        writes.push_back({CollectionNumber(entry.child), entry.outcome == VMOUSE_WRITE_TAKEN,
                          simmouse::Bytes(bytes.begin(), bytes.end())});
    }
    return writes;
}

std::vector<std::string> WriteLines(std::span<const vmouse_log_entry> log, std::uint32_t from) {
    std::vector<std::string> lines;
    for (const LoggedWrite& write : WritesFrom(log, from)) {
        lines.push_back("write " + std::to_string(write.Collection) + (write.Ok ? " ok " : " failed ") +
                        simmouse::FormatHex(write.Bytes));
    }
    return lines;
}

}  // namespace virtualmouse
