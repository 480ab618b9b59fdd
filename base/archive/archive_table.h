// The table of open archives. An archive is opened once per path and shared: each open entry
// or search holds a reference; archives without references stay open (so that the next file
// of the same archive needs no new open) until the table is full or the library ends.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/archive/archive_state.h"

// Start-up: both tables and the cache cleared (anything still open is closed).
void ClearArchiveTables();
// Shut-down: every archive closed, every file handle of the archive-aware set freed.
void CloseAllArchives();

// Opens the archive at path (or finds it open) and adds a reference. File mode keeps the file
// open and reads entries on demand; memory mode reads and unscrambles the whole file at once.
// Returns the slot, or -1 when the file is missing, is no archive (the magic does not decode
// with the key nor with the fallback key) or is damaged (a log line names the fault), or when
// the table is full of referenced archives.
int OpenArchive(const char* path, int memoryMode);
// Drops a reference (the archive stays open).
void ReleaseArchive(int slot);
// Closes the archive in slot whatever its references. Returns 0, -1 for an empty slot.
int CloseArchive(int slot);
// The open archive of a slot, or null.
OpenArchiveState* GetOpenArchive(int slot);

// Reads size bytes at fileOffset of the archive, unscrambled. False when the file cannot give
// them (the offsets themselves were checked at open).
bool ReadArchiveBytes(OpenArchiveState* archive, uint64_t fileOffset, void* buffer, size_t size);
