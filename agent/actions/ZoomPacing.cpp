#include "ZoomPacing.h"

bool ZoomPacing::Arrived(ZoomDirection direction, std::uint64_t now) {
    if (waiting_.size() >= kCapacity) return false;
    waiting_.push_back({direction, now});
    return true;
}

std::optional<ZoomDirection> ZoomPacing::Next(std::uint64_t now) {
    while (!waiting_.empty()) {
        const Waiting next = waiting_.front();
        waiting_.pop_front();
        if (now - next.ArrivedAt <= kStaleMs) return next.Direction;
    }
    return std::nullopt;
}
