#include "TestFiles.h"

#include <shellapi.h>

#include <atomic>

#include "Handles.h"
#include "PathText.h"

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + L"tern7-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(counter++) + L"\\";
    RemoveTree(path_);
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() { RemoveTree(path_); }

void RemoveTree(const std::wstring& folder) {
    std::wstring from = folder;
    if (!from.empty() && from.back() == L'\\') from.pop_back();
    from.push_back(L'\0');  // the list of names ends with two zeros
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    SHFileOperationW(&operation);
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string ReadFileBytes(const std::wstring& path) {
    UniqueKernelHandle file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder, const wchar_t* pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(JoinPath(folder, pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

bool MakeFileLink(const std::wstring& link, const std::wstring& target) {
    // Wine's own links are empty promises (the call succeeds and makes nothing): there the
    // link is made in the Linux file system underneath, as a Linux tool would make it.
    using UnixFileName = char*(CDECL*)(LPCWSTR);
    const auto unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixFileName) return CreateSymbolicLinkW(link.c_str(), target.c_str(), 0x2 /* unprivileged */) != FALSE;
    char* const unixLink = unixFileName(link.c_str());
    char* const unixTarget = unixFileName(target.c_str());
    long result = -1;
    if (unixLink && unixTarget) {
        constexpr long kSymlink = 88;  // x86-64 Linux
        asm volatile("syscall" : "=a"(result) : "a"(kSymlink), "D"(unixTarget), "S"(unixLink) : "rcx", "r11", "memory");
    }
    HeapFree(GetProcessHeap(), 0, unixLink);
    HeapFree(GetProcessHeap(), 0, unixTarget);
    return result == 0;
}

std::wstring HostPath(const char* path) {
    std::wstring wide = L"Z:";
    for (const char* c = path; *c; ++c) wide.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
    return wide;
}

std::wstring HostFolder(const char* path) { return JoinPath(HostPath(path), L""); }
