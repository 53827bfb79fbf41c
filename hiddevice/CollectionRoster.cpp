#include "CollectionRoster.h"

#include <algorithm>
#include <limits>
#include <set>
#include <tuple>

namespace hiddevice {

namespace {

constexpr unsigned kHighestId = std::numeric_limits<std::uint16_t>::max();

}  // namespace

void OrderForWriting(std::vector<PresentCollection>& present, std::uint32_t writeLength, std::size_t filterPairs) {
    std::set<std::wstring> waiting;
    for (PresentCollection& main : present) {
        if (main.Pair != 0 || main.OutputLength != writeLength) continue;
        PresentCollection* other = nullptr;
        bool otherWritable = false;
        for (PresentCollection& candidate : present) {
            if (&candidate == &main || candidate.DeviceKey != main.DeviceKey) continue;
            otherWritable = otherWritable || candidate.OutputLength == writeLength;
            if (!other || candidate.Pair < other->Pair) other = &candidate;
        }
        if (!other) {
            if (filterPairs > 1) waiting.insert(main.Path);
        } else if (!otherWritable) {
            std::swap(main.Pair, other->Pair);
        }
    }
    std::erase_if(present, [&](const PresentCollection& collection) { return waiting.count(collection.Path) > 0; });
}

void CollectionRoster::Update(std::vector<PresentCollection> present, CollectionEffects& effects) {
    std::set<std::wstring> presentPaths;
    for (const PresentCollection& collection : present) presentPaths.insert(collection.Path);
    std::set<std::wstring> lostDevices;
    for (const Entry& entry : open_) {
        if (entry.Main && !presentPaths.count(entry.Path)) lostDevices.insert(entry.DeviceKey);
    }
    CloseWhere(
        [&](const Entry& entry) { return !presentPaths.count(entry.Path) || lostDevices.count(entry.DeviceKey); },
        effects);

    std::sort(present.begin(), present.end(), [](const PresentCollection& a, const PresentCollection& b) {
        return std::tie(a.DeviceKey, a.Pair, a.Path) < std::tie(b.DeviceKey, b.Pair, b.Path);
    });
    for (auto device = present.begin(); device != present.end();) {
        const auto deviceEnd = std::find_if(device, present.end(), [&](const PresentCollection& collection) {
            return collection.DeviceKey != device->DeviceKey;
        });
        const Entry* main = OpenMainOf(device->DeviceKey);
        if (!main && device->Pair == 0) {
            if (const auto id = FreeMainId(); id && Opens(*id, *device, true, effects)) main = &open_.back();
        }
        // Without its main collection a device stays closed: its identifiers would be
        // reported in the wrong order.
        if (main) {
            const std::uint16_t mainId = main->Id;
            for (auto collection = device; collection != deviceEnd; ++collection) {
                if (IsOpenPath(collection->Path)) continue;
                if (const auto id = OtherId(mainId)) Opens(*id, *collection, false, effects);
            }
        }
        device = deviceEnd;
    }
}

void CollectionRoster::Close(std::uint16_t deviceId, CollectionEffects& effects) {
    const auto entry = std::find_if(open_.begin(), open_.end(), [&](const Entry& e) { return e.Id == deviceId; });
    if (entry == open_.end()) return;
    if (entry->Main) {
        const std::wstring deviceKey = entry->DeviceKey;
        CloseWhere([&](const Entry& e) { return e.DeviceKey == deviceKey; }, effects);
    } else {
        CloseWhere([&](const Entry& e) { return e.Id == deviceId; }, effects);
    }
}

void CollectionRoster::CloseAll(CollectionEffects& effects) {
    CloseWhere([](const Entry&) { return true; }, effects);
}

bool CollectionRoster::IsOpen(std::uint16_t deviceId) const { return InUse(deviceId); }

void CollectionRoster::CloseWhere(const std::function<bool(const Entry&)>& closing, CollectionEffects& effects) {
    std::vector<std::uint16_t> closed;
    for (auto entry = open_.rbegin(); entry != open_.rend(); ++entry) {
        if (closing(*entry)) closed.push_back(entry->Id);
    }
    std::erase_if(open_, closing);
    for (const std::uint16_t id : closed) {
        effects.Close(id);
        effects.Notify(false, id);
    }
}

bool CollectionRoster::Opens(std::uint16_t id, const PresentCollection& collection, bool main,
                             CollectionEffects& effects) {
    if (!effects.Open(id, collection.Path)) return false;
    open_.push_back({id, collection.Path, collection.DeviceKey, main});
    effects.Notify(true, id);
    return true;
}

bool CollectionRoster::InUse(std::uint16_t id) const {
    return std::any_of(open_.begin(), open_.end(), [&](const Entry& entry) { return entry.Id == id; });
}

std::optional<std::uint16_t> CollectionRoster::FreeMainId() const {
    for (unsigned id = 2; id + 1 <= kHighestId; id += 2) {
        if (!InUse(static_cast<std::uint16_t>(id)) && !InUse(static_cast<std::uint16_t>(id + 1)))
            return static_cast<std::uint16_t>(id);
    }
    return std::nullopt;
}

std::optional<std::uint16_t> CollectionRoster::OtherId(std::uint16_t mainId) const {
    if (!InUse(static_cast<std::uint16_t>(mainId + 1))) return static_cast<std::uint16_t>(mainId + 1);
    // Further collections of the device take odd identifiers no open device claims.
    for (unsigned id = 1; id <= kHighestId; id += 2) {
        const bool claimed = InUse(static_cast<std::uint16_t>(id)) || InUse(static_cast<std::uint16_t>(id - 1));
        if (!claimed) return static_cast<std::uint16_t>(id);
    }
    return std::nullopt;
}

const CollectionRoster::Entry* CollectionRoster::OpenMainOf(const std::wstring& deviceKey) const {
    const auto entry =
        std::find_if(open_.begin(), open_.end(), [&](const Entry& e) { return e.Main && e.DeviceKey == deviceKey; });
    return entry == open_.end() ? nullptr : &*entry;
}

bool CollectionRoster::IsOpenPath(const std::wstring& path) const {
    return std::any_of(open_.begin(), open_.end(), [&](const Entry& entry) { return entry.Path == path; });
}

}  // namespace hiddevice
