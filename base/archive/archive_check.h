// Checks of an archive's header and tables before anything in them is used: an archive that
// passes can be walked and read without a further bounds check.
#pragma once
#include <cstdint>

#include "base/archive/archive_state.h"

// The header against the file's size: version below 4, the tables block inside the file, the
// entry table and the root directory record inside the tables block, the data area inside the
// file. Null when it holds, else what is wrong (for the log).
const char* CheckArchiveHeader(const ArchiveHeader& header, uint64_t fileSize);

// The tables block (archive.tables etc. set up): every directory record reachable from the
// root lies in the directory table, names its parent and is reached once (no loop); its
// entries lie in the entry table and are not counted twice over all; every name record lies in
// the block with both names terminated within their padded length; every file's data lies in
// the file. Null when it holds, else what is wrong.
const char* CheckArchiveTables(const OpenArchiveState& archive);
