#pragma once
// Where the library finds collections and opens them: the Windows HID stack when it
// ships, something else in tests.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CollectionFilter.h"
#include "Handles.h"

namespace hiddevice {

struct ReportLengths {
    std::uint32_t Input = 0;   // bytes one read returns, report identifier included; 0: none
    std::uint32_t Output = 0;  // bytes one write takes; 0: the collection takes no output reports
};

struct ProbedCollection {
    std::wstring Path;
    std::wstring DeviceKey;  // the same for every collection of one physical device
    CollectionAttributes Attributes;
    ReportLengths Lengths;
};

class CollectionSource {
public:
    virtual ~CollectionSource() = default;
    // The device-interface class whose arrivals and removals call for a new look.
    virtual GUID InterfaceClass() const = 0;
    virtual std::vector<ProbedCollection> Present() = 0;
    // Opened for overlapped reading and writing; empty when it cannot be opened.
    virtual UniqueKernelHandle Open(const std::wstring& path) = 0;
};

}  // namespace hiddevice
