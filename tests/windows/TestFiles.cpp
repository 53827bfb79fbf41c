#include "TestFiles.h"

#include <shellapi.h>
#include <winioctl.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <vector>

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
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
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

std::wstring HostPath(const char* path) {
    std::wstring wide = L"Z:";
    for (const char* c = path; *c; ++c) wide.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(*c));
    return wide;
}

std::wstring HostFolder(const char* path) { return JoinPath(HostPath(path), L""); }

std::wstring DistFolder() { return HostFolder(TERN7_DIST_DIR); }

bool ProgramFolder::Add(const std::wstring& name, const std::wstring& from, const std::wstring& as) const {
    const std::wstring source = from + name;
    const std::wstring target = File(as.empty() ? name : as);
    if (!FolderExists(source)) return CopyFileW(source.c_str(), target.c_str(), FALSE) != FALSE;
    if (!CreateDirectoryW(target.c_str(), nullptr)) return false;
    bool copied = true;
    for (const std::wstring& file : FilesIn(source, L"*"))
        copied = CopyFileW(JoinPath(source, file).c_str(), JoinPath(target, file).c_str(), FALSE) && copied;
    return copied;
}

bool ProgramFolder::AddAll(std::initializer_list<const wchar_t*> names, const std::wstring& from) const {
    bool copied = true;
    for (const wchar_t* name : names) copied = Add(name, from) && copied;
    return copied;
}

namespace {

// The mount-point form of REPARSE_DATA_BUFFER, which the SDK headers leave to the DDK.
struct MountPointReparse {
    DWORD ReparseTag;
    WORD ReparseDataLength;
    WORD Reserved;
    WORD SubstituteNameOffset;
    WORD SubstituteNameLength;
    WORD PrintNameOffset;
    WORD PrintNameLength;
    wchar_t PathBuffer[1];
};

bool SetMountPoint(const std::wstring& folder, const std::wstring& target) {
    const UniqueKernelHandle handle(CreateFileW(folder.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle) return false;
    // Both names in the buffer end with a null: the substitute name, then the printed one.
    const std::wstring substitute = L"\\??\\" + target;
    const std::size_t nameBytes = (substitute.size() + 1 + target.size() + 1) * sizeof(wchar_t);
    std::vector<std::byte> buffer(offsetof(MountPointReparse, PathBuffer) + nameBytes);
    auto* reparse = reinterpret_cast<MountPointReparse*>(buffer.data());
    reparse->ReparseTag = IO_REPARSE_TAG_MOUNT_POINT;
    reparse->ReparseDataLength = static_cast<WORD>(buffer.size() - offsetof(MountPointReparse, SubstituteNameOffset));
    reparse->SubstituteNameLength = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    reparse->PrintNameOffset = static_cast<WORD>((substitute.size() + 1) * sizeof(wchar_t));
    reparse->PrintNameLength = static_cast<WORD>(target.size() * sizeof(wchar_t));
    std::copy(substitute.begin(), substitute.end(), reparse->PathBuffer);
    std::copy(target.begin(), target.end(), reparse->PathBuffer + substitute.size() + 1);
    DWORD returned = 0;
    return DeviceIoControl(handle.get(), FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()),
                           nullptr, 0, &returned, nullptr);
}

bool CreateJunction(const std::wstring& link, const std::wstring& target) {
    if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
    if (SetMountPoint(link, target)) return true;
    RemoveDirectoryW(link.c_str());
    return false;
}

using UnixFileName = char*(CDECL*)(const wchar_t*);

std::string UnixPath(UnixFileName toUnix, const std::wstring& path) {
    char* name = toUnix(path.c_str());
    if (!name) return {};
    std::string unixPath = name;
    HeapFree(GetProcessHeap(), 0, name);
    return unixPath;
}

// Wine makes no links of its own (its calls succeed and make nothing): under Wine the link
// is made in the Linux file system underneath, as a Linux tool would make it. Wine shows
// one to a folder as a folder that is a reparse point, and follows one to a file.
bool MakeUnixLink(const std::wstring& link, const std::wstring& target) {
    const auto toUnix = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return false;
    const std::string from = UnixPath(toUnix, target);
    const std::string to = UnixPath(toUnix, link);
    if (from.empty() || to.empty()) return false;
    long result = -1;
    constexpr long kSymlink = 88;  // the x86-64 Linux system call
    asm volatile("syscall" : "=a"(result) : "a"(kSymlink), "D"(from.c_str()), "S"(to.c_str()) : "rcx", "r11", "memory");
    return result == 0;
}

}  // namespace

bool CreateDirectoryLink(const std::wstring& link, const std::wstring& target) {
    return CreateJunction(link, target) || MakeUnixLink(link, target);
}

bool MakeFileLink(const std::wstring& link, const std::wstring& target) {
    constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    return MakeUnixLink(link, target) || CreateSymbolicLinkW(link.c_str(), target.c_str(), kUnprivileged);
}
