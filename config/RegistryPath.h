#pragma once
// Splitting a registry path text such as "HKEY_CURRENT_USER\Control Panel\Mouse" into a
// predefined root and the subkey below it.
#include <optional>
#include <string>
#include <string_view>

enum class RegistryRoot { LocalMachine, CurrentUser, CurrentConfig, ClassesRoot };

struct RegistryPath {
    RegistryRoot Root;
    std::wstring Subkey;

    bool operator==(const RegistryPath&) const = default;
};

// The root is named by the first component, without regard to case; any other first
// component selects HKEY_LOCAL_MACHINE with the whole path as subkey. Nothing when the
// path holds no backslash.
std::optional<RegistryPath> SplitRegistryPath(std::wstring_view path);
