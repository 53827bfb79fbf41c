#pragma once
// Zoom steps take a few hundred milliseconds each, and a held or chattering zoom key
// reports faster than that. Each report is stamped when it arrives and waits its turn; one
// that waited longer than a user would still expect the zoom to follow the key is dropped
// when its turn comes, so presses a user makes one after another all zoom, and a backlog
// does not go on zooming long after the key was let go.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "ZoomTarget.h"

class ZoomPacing {
public:
    // How far a zoom may trail its report before it is no longer wanted.
    static constexpr std::uint64_t kStaleMs = 1000;
    // Far more than can be played within kStaleMs; the newest beyond it are dropped.
    static constexpr std::size_t kCapacity = 64;

    // A zoom report arrived at now (milliseconds). False when it was dropped at once.
    bool Arrived(ZoomDirection direction, std::uint64_t now);
    // The next report still worth its step at now; the stale ones before it are dropped.
    std::optional<ZoomDirection> Next(std::uint64_t now);
    bool Empty() const { return waiting_.empty(); }

private:
    struct Waiting {
        ZoomDirection Direction;
        std::uint64_t ArrivedAt;
    };
    std::deque<Waiting> waiting_;
};
