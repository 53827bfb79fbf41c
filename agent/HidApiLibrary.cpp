#include "HidApiLibrary.h"

#include "HidDeviceLibrary.h"
#include "ProgramNames.h"

void HidApiLibrary::Load() {
    Module = LoadTrustedLibrary(names::kHidApiDll);
    if (!Module) return;
    for (std::size_t i = 0; i < kEntryPoints.size(); ++i) EntryPoints[i] = GetProcAddress(Module, kEntryPoints[i]);
}
