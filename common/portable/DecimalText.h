#pragma once
#include <optional>
#include <string_view>

// Reads a decimal integer the way the Windows profile and registry values are read:
// optional leading white space and sign, then digits up to the first other character.
// Nothing when no digit follows; values beyond 32 bits saturate, so that range checks
// treat them as the huge numbers they are.
std::optional<int> ParseDecimal(std::wstring_view text);
