// Packing a folder of the file system into an archive file.
#pragma once
#include <string>

#include "base/archive/archive_writer.h"

struct PackFolderOptions {
    ArchiveWriteOptions write;
    std::string keyText;  // "" for none
};

// Stores every file and folder under folder (names converted to Shift-JIS, sorted by name) and
// writes the archive to archivePath (file-system paths). False with *error set on failure.
bool PackFolder(const std::string& folder, const std::string& archivePath,
                const PackFolderOptions& options, std::string* error);
