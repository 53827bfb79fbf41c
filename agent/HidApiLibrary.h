#pragma once
// HIDApi.dll: loaded at start and seven entry points resolved; the agent calls none of
// them, and runs the same without the DLL.
#include <windows.h>

#include <array>

struct HidApiLibrary {
    static constexpr std::array<const char*, 7> kEntryPoints = {"OpenUSB",    "WriteUSB", "ReadUSB", "SetFeature",
                                                                "GetFeature", "CloseUSB", "InitUSB"};
    HMODULE Module = nullptr;
    std::array<FARPROC, kEntryPoints.size()> EntryPoints{};

    void Load();
};
