#pragma once
// What a PE file's export and import directories list, read from the file's bytes rather
// than through the loader, so that an entry the loader would tolerate still shows.
#include <cstddef>
#include <optional>
#include <set>
#include <string>

struct ExportTable {
    std::set<unsigned> Ordinals;  // ordinals with an address
    std::size_t Names = 0;        // exports that can also be found by name
};

// Nothing when the bytes are not a 64-bit PE image with an export directory.
std::optional<ExportTable> ReadExportTable(const std::string& image);

// The DLLs the image imports from, in lower case; nothing when the bytes are not a 64-bit
// PE image.
std::optional<std::set<std::string>> ReadImportedDlls(const std::string& image);
