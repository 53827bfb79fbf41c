#pragma once
// The device identifiers that the HID library reports open, in the order it reports them,
// and what the agent does when one opens or closes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class DeviceIdList {
public:
    // The mouse opens two collections; re-plugs and repeats stay far below this. Opens
    // beyond it are not listed, so that forged notices cannot grow the list without end.
    static constexpr std::size_t kMaxIds = 16;

    // False when the list is full and id was not added.
    bool Append(std::uint32_t id);
    // Removes the first entry equal to id; false when there is none.
    bool RemoveFirst(std::uint32_t id);
    std::size_t Count() const { return ids_.size(); }
    bool Empty() const { return ids_.empty(); }
    // The identifier that output reports go to: the one reported second.
    std::optional<std::uint32_t> WriteTarget() const;
    const std::vector<std::uint32_t>& Ids() const { return ids_; }

private:
    std::vector<std::uint32_t> ids_;
};

// A notification of the HID library, from its window message parameters.
struct MonitorEvent {
    bool Opened;
    std::uint32_t DeviceId;
};
std::optional<MonitorEvent> DecodeMonitorMessage(std::uintptr_t wParam, std::intptr_t lParam);

// What the agent must do after an identifier opened or closed.
struct MonitorReaction {
    bool MainDeviceArrived = false;  // reset ActiveGroup, mark the link started, start notifyhost
    bool LinkLost = false;           // a close for an unknown identifier: mark the link stopped
    bool CloseNotifyHost = false;    // the last identifier went with an even one
};

// Applies the event to the list and says what follows. The mouse's main collection has an
// even, non-zero identifier; odd identifiers only enter and leave the list.
MonitorReaction ApplyMonitorEvent(DeviceIdList& ids, const MonitorEvent& event);
