#pragma once
// The collections of the Windows HID stack: every present HID device interface, probed
// through SetupAPI and hid.dll.
#include "CollectionSource.h"

namespace hiddevice {

class HidCollectionSource final : public CollectionSource {
public:
    GUID InterfaceClass() const override;
    std::vector<ProbedCollection> Present() override;
    UniqueKernelHandle Open(const std::wstring& path) override;
};

}  // namespace hiddevice
