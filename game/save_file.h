// The save file: 64 bytes of little-endian signed 32-bit values, five records of score, packed
// date and packed time, then the start-level choice.
#pragma once

class HiScoreArray;

// Reads the table and the choice from path. False when the file cannot be opened or read, or
// is not a regular file (a pipe, a device or a folder is refused without waiting on it):
// nothing changes then. Only complete 4-byte values are taken: the fields of records past the end of a
// short file become 0, and the choice stays as it was when the file ends before it. A choice
// outside 0..4 becomes 0. Bytes past the 64th are ignored.
bool readSaveFile(const char* path, HiScoreArray& table, int& choice);
// Writes the table and the choice to a temporary file beside path (path with ".tmp"; anything
// already at that name is removed first, and a link there is replaced, never followed),
// flushes it to the disk and renames it over path, so a failed save leaves the old file whole;
// then flushes the folder so that the rename lasts. False when anything failed (a failed flush
// of the file keeps the old save).
bool writeSaveFile(const char* path, const HiScoreArray& table, int choice);
