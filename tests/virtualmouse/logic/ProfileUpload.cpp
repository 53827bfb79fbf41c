#include "ProfileUpload.h"

#include <algorithm>

namespace simmouse {

bool IsProfileHeader(std::span<const std::uint8_t> report) {
    static constexpr std::uint8_t kSignature[] = {0x55, 0xAA, 0x33, 0xCC};
    return report.size() >= 33 && report[1] == 7 && report[2] == 2 && report[3] >= 1 && report[3] <= kProfileCount &&
           std::equal(std::begin(kSignature), std::end(kSignature), report.begin() + 29);
}

std::optional<ProfileUpload::Completed> ProfileUpload::Take(std::span<const std::uint8_t> report) {
    if (IsProfileHeader(report)) {
        stage_ = Stage::Parameters;
        profile_ = report[3] - 1u;
        nextPage_ = 0;
        pending_ = StoredProfile{};
        pending_.header.assign(report.begin(), report.end());
        return std::nullopt;
    }
    switch (stage_) {
        case Stage::Idle: return std::nullopt;
        case Stage::Parameters:
            pending_.parameters.assign(report.begin(), report.end());
            stage_ = Stage::Pages;
            return std::nullopt;
        case Stage::Pages: {
            // Bytes 1..32 of page k are bytes k*32.. of the table; a short report fills what it has.
            const std::size_t available = report.size() > 1 ? std::min(report.size() - 1, kUploadPageSize) : 0;
            std::copy_n(report.begin() + 1, available, pending_.slots.begin() + nextPage_ * kUploadPageSize);
            if (++nextPage_ < kUploadPageCount) return std::nullopt;
            stage_ = Stage::Idle;
            return Completed{profile_, std::move(pending_)};
        }
    }
    return std::nullopt;
}

}  // namespace simmouse
