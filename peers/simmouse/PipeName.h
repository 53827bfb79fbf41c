#pragma once
// Where the simulated mouse's server listens. Tests give every server a name of its own
// through the environment, which hid.exe and so the DLL inherit.
#include <string>
#include <string_view>

namespace simmouse {

inline constexpr wchar_t kDefaultPipeName[] = L"\\\\.\\pipe\\Tern7SimMouse";
inline constexpr wchar_t kPipeNameVariable[] = L"TERN7_SIMMOUSE_PIPE";

// The full pipe path for a configured name: the default when empty, a bare name under
// \\.\pipe\, a full path unchanged.
std::wstring FullPipeName(std::wstring_view configured);

}  // namespace simmouse
