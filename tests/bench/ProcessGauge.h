#pragma once
// What a running process holds: memory, kernel handles, GDI and USER objects, windows.
#include <windows.h>

#include <string>

struct ResourceUse {
    double WorkingSetKb = 0;
    double PrivateKb = 0;
    long long Handles = 0;
    long long GdiObjects = 0;
    long long UserObjects = 0;
    long long Windows = 0;  // top-level, child and message-only
};

// False, with nothing filled in, when the process cannot be opened.
bool MeasureProcess(DWORD processId, ResourceUse& use);

ResourceUse Growth(const ResourceUse& before, const ResourceUse& after);

// "ws 12345 KB  private 2345 KB  handles 80  gdi 12  user 30  windows 4".
std::string Describe(const ResourceUse& use);
