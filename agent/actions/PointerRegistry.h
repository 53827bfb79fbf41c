#pragma once
// Where Windows keeps the pointer settings for good: the user's Control Panel values.
#include "SettingsImage.h"

namespace pointer_registry {

inline constexpr wchar_t kMouseKey[] = L"Control Panel\\Mouse";
inline constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
inline constexpr wchar_t kMouseSpeed[] = L"MouseSpeed";
inline constexpr wchar_t kThreshold1[] = L"MouseThreshold1";
inline constexpr wchar_t kThreshold2[] = L"MouseThreshold2";

}  // namespace pointer_registry

// The current profile's values into "Control Panel\Mouse" and "Control Panel\Desktop";
// 1 when written, -1 when a key could be neither opened nor created.
int WritePointerRegistryValues(const SettingsImage& image);
