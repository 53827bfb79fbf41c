#pragma once
// The client half of simmouse.exe: one request to a running server, its answer printed.
#include <windows.h>

#include <string>

#include "ControlArgs.h"

namespace simmouse {

// Exit statuses of simmouse.exe.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitNoServer = 2;
inline constexpr int kExitUsage = 3;

int SendRequest(const std::wstring& pipePath, const Invocation& invocation);
int WaitUntilReady(const std::wstring& pipePath, DWORD timeoutMs);

}  // namespace simmouse
