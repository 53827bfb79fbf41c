#pragma once
#include <string>

namespace simmouse {

// The pipe path this process uses: TERN7_SIMMOUSE_PIPE when set, else the default.
std::wstring ConfiguredPipePath();

}  // namespace simmouse
