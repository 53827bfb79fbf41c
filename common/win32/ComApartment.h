#pragma once
// COM on the calling thread for as long as the object lives. Only an initialisation that
// succeeded is undone: a thread already in the other kind of apartment
// (RPC_E_CHANGED_MODE) is left as it was.
#include <objbase.h>

class ComApartment {
public:
    explicit ComApartment(DWORD mode = COINIT_APARTMENTTHREADED) : result_(CoInitializeEx(nullptr, mode)) {}
    ~ComApartment() {
        if (Initialized()) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // S_FALSE (already initialised in this mode) counts: it too must be balanced.
    bool Initialized() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};
