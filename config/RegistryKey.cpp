#include "RegistryKey.h"

#include "RegistryPath.h"

namespace {

HKEY PredefinedKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
        case RegistryRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
        case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
        case RegistryRoot::LocalMachine: break;
    }
    return HKEY_LOCAL_MACHINE;
}

}  // namespace

int RegistryKey::Open(const std::wstring& path, REGSAM access) {
    Close();
    const auto split = SplitRegistryPath(path);
    if (!split) return 0;
    root_ = PredefinedKey(split->Root);
    subkey_ = split->Subkey;
    if (RegOpenKeyExW(root_, subkey_.c_str(), 0, access, key_.put()) == ERROR_SUCCESS) return 1;
    return RegCreateKeyW(root_, subkey_.c_str(), key_.put()) == ERROR_SUCCESS ? 1 : 0;
}

int RegistryKey::ReadString(const wchar_t* valueName, std::wstring& text) const {
    if (!key_) return 0;
    // One unit more than the capacity keeps the text terminated whatever the value holds.
    wchar_t buffer[kMaxValueBytes / sizeof(wchar_t) + 1] = {};
    DWORD size = kMaxValueBytes;
    if (RegQueryValueExW(key_.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return 0;
    text = buffer;
    return 1;
}

int RegistryKey::WriteString(const wchar_t* valueName, const std::wstring& text) const {
    if (!key_) return 0;
    return SetStringValue(key_.get(), valueName, text) == ERROR_SUCCESS ? 1 : 0;
}

void RegistryKey::Close() {
    key_.reset();
    subkey_.clear();
}

LSTATUS OpenOrCreateKey(HKEY root, const wchar_t* subkey, UniqueHKey& key) {
    const LSTATUS opened = RegOpenKeyExW(root, subkey, 0, KEY_ALL_ACCESS, key.put());
    if (opened == ERROR_SUCCESS) return opened;
    return RegCreateKeyW(root, subkey, key.put());
}

LSTATUS SetStringValue(HKEY key, const wchar_t* valueName, const std::wstring& text) {
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes);
}
