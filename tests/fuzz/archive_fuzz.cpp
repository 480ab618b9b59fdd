// libFuzzer target of the archive reader. The input is an archive before scrambling (so that
// the fuzzer works on the header and tables themselves); it is scrambled with the default key,
// written to a file, and every file the archive lists is opened, read whole and in pieces and
// sought through the archive-aware file functions, in file mode and in memory mode. The input
// also goes to the LZ unpacker as a packed block. Every tracked block must be given back.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/archive/archive_file.h"
#include "base/archive/archive_key.h"
#include "base/archive/archive_table.h"
#include "base/archive/lz_unpack.h"
#include "base/tracked_memory.h"

namespace {

const std::string& WorkDir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/zn-archive-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) std::abort();
        return std::string(made);
    }();
    return dir;
}

void ReadWhole(const std::string& path) {
    const uintptr_t file = ArchiveFileOpen(path.c_str(), 0, 0, 0);
    if (file == 0) return;
    char buffer[977];
    size_t total = 0;
    while (size_t got = ArchiveFileRead(buffer, 1, sizeof(buffer), file)) total += got;
    if (ArchiveFileEof(file) != -1) __builtin_trap();
    ArchiveFileSeek(file, -5, kSeekSet);
    if (ArchiveFileTell(file) != 0) __builtin_trap();
    ArchiveFileSeek(file, static_cast<int64_t>(total / 2), kSeekSet);
    ArchiveFileRead(buffer, 3, 7, file);
    ArchiveFileSeek(file, 10, kSeekEnd);
    if (ArchiveFileRead(buffer, 1, 1, file) != 0) __builtin_trap();
    ArchiveFileClose(file);
}

// Lists a folder of the archive and reads its files, going down at most depth folders.
void Walk(const std::string& folder, int depth, int* budget) {
    FileInfo info;
    const intptr_t find = ArchiveFindFirst((folder + "/*").c_str(), &info);
    if (find == -1) return;
    do {
        if (--*budget < 0) break;
        const std::string name = info.name;
        if (name == "." || name == "..") continue;
        if (info.directory != 0) {
            if (depth > 0) Walk(folder + "/" + name, depth - 1, budget);
        } else {
            ReadWhole(folder + "/" + name);
        }
    } while (ArchiveFindNext(find, &info) == 0);
    ArchiveFindClose(find);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint32_t blocksBefore = GetAllocState().count;

    if (PackedBlockUnpackedSize(data, size) >= 0 && PackedBlockUnpackedSize(data, size) <= (1 << 20)) {
        std::vector<unsigned char> out(static_cast<size_t>(PackedBlockUnpackedSize(data, size)) + 1);
        UnpackLz(data, size, out.data());
    }

    std::vector<unsigned char> bytes(data, data + size);
    XorArchiveBytes(bytes.data(), bytes.size(), 0, BuildArchiveKey(nullptr));
    const std::string path = WorkDir() + "/fz.ZNA";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return 0;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);

    ClearArchiveTables();
    int budget = 200;
    Walk(WorkDir() + "/fz", 8, &budget);
    CloseAllArchives();

    const int slot = OpenArchive(path.c_str(), 1);
    if (slot >= 0) {
        budget = 200;
        Walk(WorkDir() + "/fz", 8, &budget);  // the path resolves to a file-mode archive too
    }
    CloseAllArchives();
    if (GetAllocState().count != blocksBefore) __builtin_trap();
    return 0;
}
