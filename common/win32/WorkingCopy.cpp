#include "WorkingCopy.h"

#include <aclapi.h>

#include <atomic>
#include <cwchar>

namespace {

// The file's own access list, explicit entries and all; the copy, made new in the folder,
// would otherwise have the folder's.
void CopySecurity(const std::wstring& from, const std::wstring& to) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL acl = nullptr;
    if (GetNamedSecurityInfoW(from.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl, nullptr,
                              &descriptor) != ERROR_SUCCESS)
        return;
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    const SECURITY_INFORMATION which =
        DACL_SECURITY_INFORMATION |
        ((control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
    SetNamedSecurityInfoW(const_cast<wchar_t*>(to.c_str()), SE_FILE_OBJECT, which, nullptr, nullptr, acl, nullptr);
    LocalFree(descriptor);
}

// The named streams of the file (a download mark, a tool's notes), copied whole.
void CopyStreams(const std::wstring& from, const std::wstring& to) {
    WIN32_FIND_STREAM_DATA stream{};
    const HANDLE search = FindFirstStreamW(from.c_str(), FindStreamInfoStandard, &stream, 0);
    if (search == INVALID_HANDLE_VALUE) return;  // no streams, or none on this file system
    do {
        const std::wstring name = stream.cStreamName;
        if (name == L"::$DATA") continue;
        UniqueKernelHandle source(
            CreateFileW((from + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        UniqueKernelHandle copy(CreateFileW((to + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        char buffer[4096];
        DWORD read = 0, written = 0;
        while (source && copy && ReadFile(source.get(), buffer, sizeof buffer, &read, nullptr) && read)
            WriteFile(copy.get(), buffer, read, &written, nullptr);
    } while (FindNextStreamW(search, &stream));
    FindClose(search);
}

}  // namespace

DWORD LastErrorOr(DWORD fallback) {
    const DWORD error = GetLastError();
    return error ? error : fallback;
}

DWORD CreateWorkingCopy(const std::wstring& target, std::wstring& copy, UniqueKernelHandle& file) {
    static std::atomic<unsigned> counter{0};
    const std::wstring folder = target.substr(0, target.find_last_of(L"\\/") + 1);
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 16 && (error == ERROR_FILE_EXISTS || error == ERROR_ACCESS_DENIED); ++attempt) {
        const unsigned seed = GetCurrentProcessId() * 2654435761u + static_cast<unsigned>(GetTickCount64()) * 40503u +
                              counter.fetch_add(1) * 7919u;
        wchar_t name[16];
        std::swprintf(name, 16, L"~%05x.tmp", seed & 0xFFFFF);
        copy = folder + name;
        file.reset(CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        error = file ? 0 : LastErrorOr(ERROR_OPEN_FAILED);
    }
    return error;
}

DWORD FlushToDisk(const std::wstring& path) {
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastErrorOr(ERROR_OPEN_FAILED);
    if (!FlushFileBuffers(file.get())) return LastErrorOr(ERROR_WRITE_FAULT);
    return 0;
}

DWORD PutCopyInPlace(const std::wstring& copy, const std::wstring& target, DWORD attributes) {
    CopySecurity(target, copy);
    CopyStreams(target, copy);
    constexpr DWORD kKept =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (attributes & kKept) SetFileAttributesW(copy.c_str(), attributes & kKept);
    return RetryWhileBusy({ERROR_SHARING_VIOLATION, ERROR_ACCESS_DENIED}, [&]() -> DWORD {
        return MoveFileExW(copy.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? 0
                   : LastErrorOr(ERROR_ACCESS_DENIED);
    });
}
