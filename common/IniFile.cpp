#include "IniFile.h"

#include <windows.h>

#include <algorithm>

#include "Handles.h"
#include "StructEncoding.h"

namespace {

// An error code for a call that failed without setting one.
DWORD LastErrorOr(DWORD fallback) {
    const DWORD error = GetLastError();
    return error ? error : fallback;
}

DWORD WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    UniqueKernelHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastErrorOr(ERROR_OPEN_FAILED);
    DWORD written = 0;
    if (!bytes.empty() &&
        (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
         written != bytes.size()))
        return LastErrorOr(ERROR_DISK_FULL);
    return 0;
}

// The profile functions leave their data to the system's cache; the copy must be on disk
// before it takes the file's place.
DWORD FlushToDisk(const std::wstring& path) {
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastErrorOr(ERROR_OPEN_FAILED);
    if (!FlushFileBuffers(file.get())) return LastErrorOr(ERROR_WRITE_FAULT);
    return 0;
}

DWORD WriteEntries(const std::wstring& path, std::span<const IniEntry> entries) {
    DWORD error = 0;
    for (const IniEntry& entry : entries) {
        if (!WritePrivateProfileStringW(entry.Section.c_str(), entry.Key.c_str(), entry.Value.c_str(), path.c_str())) {
            error = LastErrorOr(ERROR_WRITE_FAULT);
            break;
        }
    }
    // Lets go of the system's cached copy of the file, writing it out.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    return error;
}

}  // namespace

unsigned long IniFile::Read(IniSnapshot& snapshot) const {
    snapshot = IniSnapshot{};
    UniqueKernelHandle file(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? 0 : LastErrorOr(ERROR_OPEN_FAILED);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return LastErrorOr(ERROR_READ_FAULT);
    // Far beyond any settings file; a bound for a damaged one.
    if (size.QuadPart > (64 << 20)) return ERROR_FILE_TOO_LARGE;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return LastErrorOr(ERROR_READ_FAULT);
    bytes.resize(read);
    snapshot.Exists = true;
    snapshot.Text = IniText(IniText::DecodeFileBytes(
        {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}));
    snapshot.Bytes = std::move(bytes);
    return 0;
}

unsigned long IniFile::Write(const IniSnapshot& snapshot, std::span<const IniEntry> entries) const {
    const std::vector<IniEntry> changing = EntriesThatChange(snapshot.Text, entries);
    if (changing.empty()) return 0;
    // A file the user made read-only stays as it is, though a rename could replace it.
    if (snapshot.Exists) {
        const DWORD attributes = GetFileAttributesW(path_.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
    }
    const std::wstring copy = WorkingCopyPath();
    DWORD error = 0;
    if (snapshot.Exists) {
        error = WriteWholeFile(copy, snapshot.Bytes);
    } else if (!DeleteFileW(copy.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        error = LastErrorOr(ERROR_ACCESS_DENIED);
    }
    if (!error) error = WriteEntries(copy, changing);
    if (!error) error = FlushToDisk(copy);
    if (!error && !MoveFileExW(copy.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = LastErrorOr(ERROR_ACCESS_DENIED);
    if (error) DeleteFileW(copy.c_str());
    return error;
}

unsigned long IniFile::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& text) const {
    IniSnapshot snapshot;
    if (const DWORD error = Read(snapshot)) return error;
    const IniEntry entry{section, key, text};
    return Write(snapshot, {&entry, 1});
}

unsigned long IniFile::WriteInt(const std::wstring& section, const std::wstring& key, int value) const {
    return WriteString(section, key, std::to_wstring(value));
}

unsigned long IniFile::WriteStruct(const std::wstring& section, const std::wstring& key,
                                   std::span<const std::uint8_t> bytes) const {
    return WriteString(section, key, EncodeStruct(bytes));
}

bool IniFile::ReadRaw(const std::wstring& section, const std::wstring& key, std::wstring& value) const {
    // A default that no settings tool writes tells a missing key from an empty one.
    static constexpr wchar_t kMissing[] = L"\x7F(missing)\x7F";
    std::wstring buffer(kMaxStringChars + 1, L'\0');
    const DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), kMissing, buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), path_.c_str());
    buffer.resize(std::min<std::size_t>(length, kMaxStringChars));
    if (buffer == kMissing) return false;
    value = std::move(buffer);
    return true;
}
