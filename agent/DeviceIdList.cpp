#include "DeviceIdList.h"

#include <algorithm>

bool DeviceIdList::Append(std::uint32_t id) {
    if (ids_.size() >= kMaxIds) return false;
    ids_.push_back(id);
    return true;
}

bool DeviceIdList::RemoveFirst(std::uint32_t id) {
    const auto found = std::find(ids_.begin(), ids_.end(), id);
    if (found == ids_.end()) return false;
    ids_.erase(found);
    return true;
}

std::optional<std::uint32_t> DeviceIdList::WriteTarget() const {
    if (ids_.size() < 2) return std::nullopt;
    return ids_[1];
}

std::optional<MonitorEvent> DecodeMonitorMessage(std::uintptr_t wParam, std::intptr_t lParam) {
    if (wParam != 1) return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(lParam);
    const std::uint32_t state = bits & 0xFFFF;
    if (state > 1) return std::nullopt;
    return MonitorEvent{state == 1, bits >> 16};
}

MonitorReaction ApplyMonitorEvent(DeviceIdList& ids, const MonitorEvent& event) {
    MonitorReaction reaction;
    const bool even = event.DeviceId % 2 == 0;
    if (event.Opened) {
        ids.Append(event.DeviceId);
        reaction.MainDeviceArrived = even && event.DeviceId != 0;
    } else {
        reaction.LinkLost = !ids.RemoveFirst(event.DeviceId);
        reaction.CloseNotifyHost = even && ids.Empty();
    }
    return reaction;
}
