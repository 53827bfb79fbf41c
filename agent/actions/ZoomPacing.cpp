#include "ZoomPacing.h"

bool ZoomPacing::Admit(std::uint64_t now) {
    const bool waited = anyEnded_ && now - lastEnd_ <= kBackToBackMs;
    if (!waited) runStart_ = now;
    return now - runStart_ <= kStaleMs;
}
