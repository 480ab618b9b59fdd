// The archive reader's state in one record: the table of open archives, the table of file
// handles of the archive-aware file functions, the cache of the last archive that resolved a
// path, and the settings (key text, extension) made before archives are opened.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/archive/archive_format.h"
#include "base/archive/archive_key.h"

namespace plat {
struct File;
}

constexpr int kArchiveSlots = 512;
constexpr int kArchiveFileSlots = 512;
constexpr uint32_t kArchiveFileHandleTag = 0xF0000000u;  // file handle = slot | tag
constexpr size_t kArchivePathSize = 260;

// An open archive. Its tables block is checked whole when it is opened (archive_check.h), so
// that every offset read from it later lies inside it and every entry's data inside the file.
struct OpenArchiveState {
    ArchiveHeader header;
    plat::File* file;          // file mode: the archive file, read on demand
    unsigned char* image;      // memory mode: the whole file, unscrambled
    unsigned char* tables;     // the tables block, unscrambled
    const unsigned char* nameTable;
    const unsigned char* entryTable;
    const unsigned char* dirTable;
    ArchiveKey key;
    uint32_t memoryMode;       // 1: the whole file is held in image
    uint64_t fileSize;
    uint64_t filePosition;     // where the next read of file starts
    size_t entrySize;          // 40 or 44 bytes by version
};

struct ArchiveRecord {
    int32_t refCount;
    OpenArchiveState archive;
    char path[kArchivePathSize];  // as opened (Shift-JIS)
};

// What an asynchronous entry waits for.
enum class ArchivePending : uint32_t {
    None = 0,
    PackedLoad = 1,  // the packed bytes of the entry are on their way into `packed`
    PlainRead = 2,   // a read of stored bytes is on its way into the caller's buffer
};

// An open entry of an archive.
struct ArchiveEntryState {
    int32_t archiveSlot;
    const unsigned char* entry;  // its file entry in the tables block
    unsigned char* unpacked;     // the whole unpacked data of a packed entry, else null
    uint32_t end;                // set when a read found nothing left
    int64_t position;
    uint32_t size;               // data size
    // Asynchronous entries of a file-mode archive read through a disk file of their own, opened
    // asynchronously on the archive, whose access thread does the reading; the bytes are
    // unscrambled (and a packed entry unpacked) when the read is seen complete.
    uint32_t async;
    uintptr_t asyncFile;       // disk file handle, 0 for none
    ArchivePending pending;
    unsigned char* packed;     // PackedLoad: the packed bytes (tracked memory)
    uint32_t packedSize;
    uint64_t pendingOffset;    // archive file offset of the pending read
    unsigned char* pendingTarget;
    size_t pendingSize;
    uint32_t failed;           // the packed load could not be unpacked: reads find nothing
    char path[kArchivePathSize];  // as opened (cut), for the log of a load that fails later
};

enum class ArchiveFileKind : uint32_t { Disk = 0, Archive = 1 };

struct ArchiveFileRecord {
    ArchiveFileKind kind;
    uintptr_t diskHandle;  // kind Disk
    ArchiveEntryState entry;  // kind Archive
};

struct ArchiveState {
    ArchiveRecord* archives[kArchiveSlots];
    ArchiveFileRecord* files[kArchiveFileSlots];
    // The last archive that resolved a path: the path prefix it stands for (with the case it
    // was composed with) and its slot; slot -1 when there is none.
    char cachePrefix[kArchivePathSize];
    size_t cacheLength;
    int32_t cacheSlot;
    // Settings; kept by ClearArchiveTables.
    char keyText[64];      // "" for the fixed fill value
    char extension[16];    // "" for "ZNA"
    uint32_t memoryMode;   // 1: archives found for paths are read whole into memory
};

ArchiveState& GetArchiveState();

// The key text archives are opened with from now on (null or "": the fixed fill value; cut to
// 63 bytes), and the archive extension (null or "": "ZNA"; cut to 15 bytes).
void SetArchiveKeyText(const char* text);
void SetArchiveExtension(const char* extension);
// The extension archives are looked for with: the setting, or "ZNA".
const char* GetArchiveExtension();
// Whether archives that paths lead to are opened in memory mode (1: the whole file is read and
// unscrambled at open and the file closed; 0, the start value: the file stays open and entries
// are read on demand). Archives already open keep their mode.
void SetArchiveMemoryMode(int memoryMode);
int GetArchiveMemoryMode();
