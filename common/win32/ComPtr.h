#pragma once
// The one owner of a COM interface pointer: holds one reference and releases it.
#include <unknwn.h>

#include "Handles.h"

template <class Interface>
void ReleaseInterface(Interface* pointer) {
    pointer->Release();
}

template <class Interface>
class ComPtr : public UniqueHandle<Interface*, &ReleaseInterface<Interface>> {
public:
    // An explicit pointer takes over a reference the caller holds.
    using UniqueHandle<Interface*, &ReleaseInterface<Interface>>::UniqueHandle;

    Interface* operator->() const { return this->get(); }
    // For out-parameters typed void**: releases what is held and hands out the slot.
    void** put_void() { return reinterpret_cast<void**>(this->put()); }
};
