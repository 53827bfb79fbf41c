#include "ConfiguredPipe.h"

#include <windows.h>

#include "PipeName.h"

namespace simmouse {

std::wstring ConfiguredPipePath() {
    constexpr DWORD kCapacity = 512;
    wchar_t value[kCapacity];
    const DWORD length = GetEnvironmentVariableW(kPipeNameVariable, value, kCapacity);
    // Unset, or too long to be a pipe name: the default.
    const bool usable = length > 0 && length < kCapacity;
    return FullPipeName(usable ? std::wstring_view(value, length) : std::wstring_view());
}

}  // namespace simmouse
