#include "IniFile.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "Handles.h"
#include "StructEncoding.h"
#include "WorkingCopy.h"

namespace {

// Another program has the file open in a way that keeps it from being replaced or
// written now; later it may not.
bool HeldByAnother(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// The system's ANSI code page, in which the profile functions read and write a file
// without byte order mark.
std::wstring DecodeAnsi(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return {};
    const auto size = static_cast<int>(bytes.size());
    const auto* text = reinterpret_cast<const char*>(bytes.data());
    std::wstring decoded(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, size, decoded.data(), static_cast<int>(decoded.size()));
    return decoded;
}

// Where a write of path goes: the file a link leads to, so that the link stays a link.
// The path itself when it names no file yet, or when the target's path would be too long
// for the profile functions.
std::wstring WriteTarget(const std::wstring& path) {
    UniqueKernelHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return path;
    wchar_t buffer[MAX_PATH + 8] = {};
    const DWORD length = GetFinalPathNameByHandleW(file.get(), buffer, MAX_PATH + 8, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= MAX_PATH + 8) return path;
    std::wstring target(buffer, length);
    if (target.rfind(L"\\\\?\\UNC\\", 0) == 0)
        target.replace(0, 8, L"\\\\");
    else if (target.rfind(L"\\\\?\\", 0) == 0)
        target.erase(0, 4);
    return target.size() < MAX_PATH ? target : path;
}

DWORD WriteBytes(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    if (!bytes.empty() && (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
                           written != bytes.size()))
        return LastErrorOr(ERROR_DISK_FULL);
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

// How a file without byte order mark, or with one, holds text.
enum class FileEncoding { Ansi, Utf8, Utf16Le, Utf16Be };

FileEncoding EncodingOf(const std::string& bytes) {
    if (bytes.rfind("\xFF\xFE", 0) == 0) return FileEncoding::Utf16Le;
    if (bytes.rfind("\xFE\xFF", 0) == 0) return FileEncoding::Utf16Be;
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return FileEncoding::Utf8;
    return FileEncoding::Ansi;
}

// The bytes of text in the file, byte order mark and all, as the file encodes it.
std::string Encode(FileEncoding encoding, std::wstring_view text) {
    if (encoding == FileEncoding::Utf16Le || encoding == FileEncoding::Utf16Be) {
        const std::size_t low = encoding == FileEncoding::Utf16Le ? 0 : 1;
        std::string bytes(2 + 2 * text.size(), '\0');
        for (std::size_t i = 0; i <= text.size(); ++i) {
            const wchar_t unit = i == 0 ? wchar_t{0xFEFF} : text[i - 1];
            bytes[2 * i + low] = static_cast<char>(unit & 0xFF);
            bytes[2 * i + 1 - low] = static_cast<char>(unit >> 8);
        }
        return bytes;
    }
    const UINT codePage = encoding == FileEncoding::Utf8 ? CP_UTF8 : CP_ACP;
    const int size = static_cast<int>(text.size());
    const int length = size ? WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr) : 0;
    std::string bytes(static_cast<std::size_t>(length), '\0');
    if (length) WideCharToMultiByte(codePage, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
    return encoding == FileEncoding::Utf8 ? "\xEF\xBB\xBF" + bytes : bytes;
}

bool IsAscii(std::wstring_view text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c > 0 && c < 0x80; });
}

// Writes each entry's new value over its old one where it stands in the file, when every
// old value is there and as long as its new one (the keys of the mouse's own saves are
// single digits). Nothing is written otherwise, nor when the file is no longer what the
// snapshot read: another program wrote it meanwhile.
bool OverwriteValues(const std::wstring& target, const IniSnapshot& snapshot, std::span<const IniEntry> entries) {
    const FileEncoding encoding = EncodingOf(snapshot.Bytes);
    const std::size_t mark = Encode(encoding, L"").size();
    std::vector<std::pair<std::size_t, std::string>> patches;
    for (const IniEntry& entry : entries) {
        const std::wstring* old = snapshot.Text.StoredValue(entry.Section, entry.Key);
        const std::optional<std::size_t> at = snapshot.Text.StoredValueAt(entry.Section, entry.Key);
        if (!old || !at || old->size() != entry.Value.size() || !IsAscii(*old) || !IsAscii(entry.Value)) return false;
        // Where the value stands: the text before it, encoded; checked against the bytes,
        // so that text that did not decode cleanly cannot mislead it.
        const std::size_t offset = Encode(encoding, std::wstring_view(snapshot.Decoded).substr(0, *at)).size();
        const std::string oldBytes = Encode(encoding, *old).substr(mark);
        if (snapshot.Bytes.compare(offset, oldBytes.size(), oldBytes) != 0) return false;
        patches.emplace_back(offset, Encode(encoding, entry.Value).substr(mark));
    }
    UniqueKernelHandle file(CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::string current(snapshot.Bytes.size() + 1, '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), current.data(), static_cast<DWORD>(current.size()), &read, nullptr)) return false;
    current.resize(read);
    if (current != snapshot.Bytes) return false;
    for (const auto& [offset, bytes] : patches) {
        LARGE_INTEGER position{};
        position.QuadPart = static_cast<LONGLONG>(offset);
        DWORD written = 0;
        if (!SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN) ||
            !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size())
            return false;
    }
    return FlushFileBuffers(file.get()) != FALSE;
}

}  // namespace

unsigned long IniFile::Read(IniSnapshot& snapshot) const {
    snapshot = IniSnapshot{};
    UniqueKernelHandle file;
    const DWORD openError = RetryWhileBusy({ERROR_SHARING_VIOLATION}, [&]() -> DWORD {
        file.reset(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file ? 0 : LastErrorOr(ERROR_OPEN_FAILED);
    });
    // Only a file that is not there reads as empty: any other failure is no answer.
    if (openError == ERROR_FILE_NOT_FOUND) return 0;
    if (openError) return openError;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.get(), &information)) return LastErrorOr(ERROR_READ_FAULT);
    const std::uint64_t size = (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
    if (size > kMaxFileBytes) return ERROR_FILE_TOO_LARGE;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return LastErrorOr(ERROR_READ_FAULT);
    bytes.resize(read);
    snapshot.Exists = true;
    snapshot.Attributes = information.dwFileAttributes;
    snapshot.Decoded =
        IniText::DecodeFileBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, &DecodeAnsi);
    snapshot.Text = IniText(snapshot.Decoded);
    snapshot.Bytes = std::move(bytes);
    return 0;
}

unsigned long IniFile::Write(const IniSnapshot& snapshot, std::span<const IniEntry> entries) const {
    const std::vector<IniEntry> changing = EntriesThatChange(snapshot.Text, entries);
    if (changing.empty()) return 0;
    // A file the user made read-only stays as it is, though a rename could replace it.
    if (snapshot.Exists && (snapshot.Attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
    const std::wstring target = snapshot.Exists ? WriteTarget(path_) : path_;
    std::wstring copy;
    UniqueKernelHandle copyFile;
    DWORD error = CreateWorkingCopy(target, copy, copyFile);
    if (error) return error;
    if (snapshot.Exists) error = WriteBytes(copyFile.get(), snapshot.Bytes);
    copyFile.reset();
    // A file made from nothing is left to the profile functions to create: an empty file
    // that is there already they would take for UTF-16.
    if (!snapshot.Exists && !DeleteFileW(copy.c_str())) error = LastErrorOr(ERROR_ACCESS_DENIED);
    if (!error) error = WriteEntries(copy, changing);
    if (!error) error = FlushToDisk(copy);
    if (!error) {
        if (snapshot.Exists)
            error = PutCopyInPlace(copy, target, snapshot.Attributes);
        else if (!MoveFileExW(copy.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH))
            error = LastErrorOr(ERROR_ACCESS_DENIED);
    }
    if (error) DeleteFileW(copy.c_str());
    return error;
}

unsigned long IniFile::WriteKeys(std::span<const IniEntry> entries) const {
    IniSnapshot snapshot;
    if (const DWORD error = Read(snapshot)) return error;
    const DWORD error = Write(snapshot, entries);
    if (!error || !snapshot.Exists || !HeldByAnother(error) || (snapshot.Attributes & FILE_ATTRIBUTE_READONLY))
        return error;
    // Held open by a reader that lets others write but not replace the file.
    const std::vector<IniEntry> changing = EntriesThatChange(snapshot.Text, entries);
    return OverwriteValues(WriteTarget(path_), snapshot, changing) ? 0 : error;
}

unsigned long IniFile::WriteString(const std::wstring& section, const std::wstring& key,
                                   const std::wstring& text) const {
    const IniEntry entry{section, key, text};
    return WriteKeys({&entry, 1});
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
