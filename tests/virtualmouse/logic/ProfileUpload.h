#pragma once
// Assembles one profile upload from the mouse's 33-byte output reports: a header, the
// parameter report, then 24 pages of the button slot table. A new header starts over.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace simmouse {

inline constexpr std::size_t kProfileCount = 3;
inline constexpr std::size_t kSlotTableSize = 768;
inline constexpr std::size_t kSlotRecordSize = 96;
inline constexpr std::size_t kSlotCount = kSlotTableSize / kSlotRecordSize;
inline constexpr std::size_t kUploadPageCount = 24;
inline constexpr std::size_t kUploadPageSize = 32;
static_assert(kUploadPageCount * kUploadPageSize == kSlotTableSize);

using SlotTable = std::array<std::uint8_t, kSlotTableSize>;

struct StoredProfile {
    std::vector<std::uint8_t> header;
    std::vector<std::uint8_t> parameters;
    SlotTable slots{};
};

// Byte 1 = 7, byte 2 = 2, byte 3 = profile number 1..3, bytes 29..32 = 55 AA 33 CC.
bool IsProfileHeader(std::span<const std::uint8_t> report);

class ProfileUpload {
public:
    // Takes the next report the mouse accepted. Returns the profile slot (0..2) and its
    // contents once the last page of an upload arrived.
    struct Completed {
        std::size_t profile;
        StoredProfile contents;
    };
    std::optional<Completed> Take(std::span<const std::uint8_t> report);

    bool InProgress() const { return stage_ != Stage::Idle; }
    void Abandon() { stage_ = Stage::Idle; }

private:
    enum class Stage { Idle, Parameters, Pages };
    Stage stage_ = Stage::Idle;
    std::size_t profile_ = 0;
    std::size_t nextPage_ = 0;
    StoredProfile pending_;
};

}  // namespace simmouse
