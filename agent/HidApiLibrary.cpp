#include "HidApiLibrary.h"

#include <string>
#include <string_view>

#include "ProgramNames.h"
#include "SystemError.h"
#include "SystemLibraries.h"

void HidApiLibrary::Load() {
    Module = LoadTrustedLibrary(names::kHidApiDll);
    if (!Module) return;
    for (std::size_t i = 0; i < kEntryPoints.size(); ++i) {
        EntryPoints[i] = GetProcAddress(Module, kEntryPoints[i]);
        if (EntryPoints[i]) continue;
        const DWORD error = GetLastError();
        const std::string_view name = kEntryPoints[i];
        TraceSystemError(L"GetProcAddress", names::kHidApiDll + (L" " + std::wstring(name.begin(), name.end())), error);
    }
}
