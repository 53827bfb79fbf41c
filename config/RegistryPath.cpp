#include "RegistryPath.h"

#include <array>
#include <cwctype>

namespace {

struct RootName {
    std::wstring_view Name;
    RegistryRoot Root;
};

constexpr std::array<RootName, 4> kRootNames = {{
    {L"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
    {L"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
    {L"HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig},
    {L"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
}};

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::towupper(a[i]) != std::towupper(b[i])) return false;
    }
    return true;
}

}  // namespace

std::optional<RegistryPath> SplitRegistryPath(std::wstring_view path) {
    const auto slash = path.find(L'\\');
    if (slash == std::wstring_view::npos) return std::nullopt;
    const auto first = path.substr(0, slash);
    for (const RootName& root : kRootNames) {
        if (EqualIgnoringCase(first, root.Name)) return RegistryPath{root.Root, std::wstring(path.substr(slash + 1))};
    }
    return RegistryPath{RegistryRoot::LocalMachine, std::wstring(path)};
}
