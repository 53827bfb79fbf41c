#pragma once
// Zoom steps take a few hundred milliseconds each, and reports of a held or chattering
// zoom key queue up behind them. A report that is handled at once after the previous step
// ended waited behind it; once such a run of back-to-back reports has lasted longer than
// a user would still expect the zoom to follow, the rest of it is dropped.
#include <cstdint>

class ZoomPacing {
public:
    // Handled this soon after the previous step ended, a report was already waiting.
    static constexpr std::uint64_t kBackToBackMs = 30;
    // How far a zoom may trail the key before it is no longer wanted.
    static constexpr std::uint64_t kStaleMs = 1000;

    // Whether the zoom report handled at now still gets its step.
    bool Admit(std::uint64_t now);
    // The report was handled (its step played, or dropped) and the thread is free again.
    void Ended(std::uint64_t now) {
        lastEnd_ = now;
        anyEnded_ = true;
    }

private:
    std::uint64_t runStart_ = 0;
    std::uint64_t lastEnd_ = 0;
    bool anyEnded_ = false;
};
