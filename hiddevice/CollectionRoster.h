#pragma once
// The collections the library keeps open and the identifiers it reports for them.
//
// Each physical device gets a slot k >= 1: its main collection (the one answering the
// filter's first pair) is identifier 2k, the next collection of the same device 2k + 1.
// A device is opened only when its main collection is there, and the main collection
// always opens (and is reported) first, so the identifier reported second is the
// device's other collection. Freed slots are reused, lowest first.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace hiddevice {

// A matching collection that is present now.
struct PresentCollection {
    std::wstring Path;               // unique per collection
    std::wstring DeviceKey;          // the same for every collection of one physical device
    std::size_t Pair = 0;            // the filter pair it answers; 0 marks the main collection
    std::uint32_t OutputLength = 0;  // of its output reports; 0: it takes none
};

// The caller writes to the identifier reported second. Where a device's main collection
// takes output reports of writeLength and none of its others does, the roles swap, so
// that the writable one is reported second whatever its usage page. Where both or
// neither take them, the filter's order stays. Where the filter names more than one pair,
// a main collection that takes them while no other collection of its device is there yet
// is left out until one is: the system may announce a device's collections one at a time,
// and opened alone it would be reported first.
void OrderForWriting(std::vector<PresentCollection>& present, std::uint32_t writeLength, std::size_t filterPairs);

// What the roster has done to make its decisions real, in the order it decides them.
class CollectionEffects {
public:
    virtual ~CollectionEffects() = default;
    // Opens the collection at path under the identifier; false when it cannot be opened.
    virtual bool Open(std::uint16_t deviceId, const std::wstring& path) = 0;
    virtual void Close(std::uint16_t deviceId) = 0;
    virtual void Notify(bool opened, std::uint16_t deviceId) = 0;
};

class CollectionRoster {
public:
    // Closes what has gone (a device whose main collection has gone closes whole), then
    // opens what is present and not yet open. A collection that fails to open is tried
    // again on the next update.
    void Update(std::vector<PresentCollection> present, CollectionEffects& effects);
    // Closes one collection; closing a main collection closes its whole device.
    void Close(std::uint16_t deviceId, CollectionEffects& effects);
    void CloseAll(CollectionEffects& effects);

    bool AnyDeviceOpen() const { return !open_.empty(); }
    bool IsOpen(std::uint16_t deviceId) const;

private:
    struct Entry {
        std::uint16_t Id;
        std::wstring Path;
        std::wstring DeviceKey;
        bool Main;
    };

    // Last opened, first closed.
    void CloseWhere(const std::function<bool(const Entry&)>& closing, CollectionEffects& effects);
    bool Opens(std::uint16_t id, const PresentCollection& collection, bool main, CollectionEffects& effects);
    bool InUse(std::uint16_t id) const;
    std::optional<std::uint16_t> FreeMainId() const;
    std::optional<std::uint16_t> OtherId(std::uint16_t mainId) const;
    const Entry* OpenMainOf(const std::wstring& deviceKey) const;
    bool IsOpenPath(const std::wstring& path) const;

    std::vector<Entry> open_;  // in the order they opened
};

}  // namespace hiddevice
