#include "PipeName.h"

namespace simmouse {

std::wstring FullPipeName(std::wstring_view configured) {
    if (configured.empty()) return kDefaultPipeName;
    if (configured.starts_with(L"\\\\")) return std::wstring(configured);
    return L"\\\\.\\pipe\\" + std::wstring(configured);
}

}  // namespace simmouse
