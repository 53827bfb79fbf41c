#include "ExportTable.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

class ImageReader {
public:
    explicit ImageReader(const std::string& image) : image_(image) {}

    template <class Record>
    std::optional<Record> At(std::size_t offset) const {
        if (offset > image_.size() || image_.size() - offset < sizeof(Record)) return std::nullopt;
        Record record;
        std::memcpy(&record, image_.data() + offset, sizeof record);
        return record;
    }

    // The file offset of a relative virtual address, through the section that holds it.
    std::optional<std::size_t> FileOffset(DWORD rva) const {
        for (WORD i = 0; i < sectionCount_; ++i) {
            const auto section = At<IMAGE_SECTION_HEADER>(sections_ + i * sizeof(IMAGE_SECTION_HEADER));
            if (!section) return std::nullopt;
            const DWORD size = std::max(section->Misc.VirtualSize, section->SizeOfRawData);
            if (rva >= section->VirtualAddress && rva - section->VirtualAddress < size)
                return std::size_t{section->PointerToRawData} + (rva - section->VirtualAddress);
        }
        return std::nullopt;
    }

    void SetSections(std::size_t offset, WORD count) {
        sections_ = offset;
        sectionCount_ = count;
    }

private:
    const std::string& image_;
    std::size_t sections_ = 0;
    WORD sectionCount_ = 0;
};

}  // namespace

namespace {

// The image's data directory entry, with a reader that knows its sections.
std::optional<IMAGE_DATA_DIRECTORY> Directory(ImageReader& reader, int entry) {
    const auto dos = reader.At<IMAGE_DOS_HEADER>(0);
    if (!dos || dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0) return std::nullopt;
    const std::size_t ntOffset = static_cast<std::size_t>(dos->e_lfanew);
    const auto nt = reader.At<IMAGE_NT_HEADERS64>(ntOffset);
    if (!nt || nt->Signature != IMAGE_NT_SIGNATURE || nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        return std::nullopt;
    reader.SetSections(ntOffset + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader,
                       nt->FileHeader.NumberOfSections);
    return nt->OptionalHeader.DataDirectory[entry];
}

}  // namespace

std::optional<ExportTable> ReadExportTable(const std::string& image) {
    ImageReader reader(image);
    const auto found = Directory(reader, IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (!found) return std::nullopt;
    const IMAGE_DATA_DIRECTORY& directory = *found;
    if (directory.VirtualAddress == 0) return std::nullopt;
    const auto exportsAt = reader.FileOffset(directory.VirtualAddress);
    const auto exports = exportsAt ? reader.At<IMAGE_EXPORT_DIRECTORY>(*exportsAt) : std::nullopt;
    if (!exports) return std::nullopt;
    const auto addressesAt = reader.FileOffset(exports->AddressOfFunctions);
    if (exports->NumberOfFunctions > 0 && !addressesAt) return std::nullopt;

    ExportTable table;
    table.Names = exports->NumberOfNames;
    for (DWORD i = 0; i < exports->NumberOfFunctions; ++i) {
        const auto address = reader.At<DWORD>(*addressesAt + i * sizeof(DWORD));
        if (!address) return std::nullopt;
        if (*address != 0) table.Ordinals.insert(exports->Base + i);
    }
    return table;
}

std::optional<std::set<std::string>> ReadImportedDlls(const std::string& image) {
    ImageReader reader(image);
    const auto directory = Directory(reader, IMAGE_DIRECTORY_ENTRY_IMPORT);
    if (!directory) return std::nullopt;
    std::set<std::string> dlls;
    if (directory->VirtualAddress == 0) return dlls;
    const auto first = reader.FileOffset(directory->VirtualAddress);
    if (!first) return std::nullopt;
    for (std::size_t at = *first;; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto descriptor = reader.At<IMAGE_IMPORT_DESCRIPTOR>(at);
        if (!descriptor) return std::nullopt;
        if (descriptor->Name == 0) return dlls;
        const auto nameAt = reader.FileOffset(descriptor->Name);
        if (!nameAt || *nameAt >= image.size()) return std::nullopt;
        std::string name(image.c_str() + *nameAt);
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        dlls.insert(name);
    }
}
