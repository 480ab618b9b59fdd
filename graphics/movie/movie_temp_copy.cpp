// A movie that is no plain disk file (one inside an archive, say) is copied whole into a
// temporary file for the platform's streams to open.
#include <algorithm>
#include <cstdio>

#include "base/file_access_table.h"
#include "base/log.h"
#include "base/temp_file.h"
#include "base/tracked_memory.h"
#include "graphics/movie/movie.h"
#include "platform/core/file.h"

namespace {

constexpr int64_t kCopyChunk = 1048576;

int64_t ReadThroughFileAccess(void* buffer, size_t size, void* context) {
    const uintptr_t file = *static_cast<uintptr_t*>(context);
    return static_cast<int64_t>(FileAccessRead(buffer, 1, size, file));
}

int64_t WriteToPlatformFile(const void* data, size_t size, void* context) {
    return plat::WriteFile(static_cast<plat::File*>(context), data, size);
}

// The size of an open file of the file-access layer, its position back at the start; -1
// when it cannot be told.
int64_t FileAccessSize(uintptr_t file) {
    if (FileAccessSeek(file, 0, SEEK_END) != 0) return -1;
    const int64_t size = FileAccessTell(file);
    if (FileAccessSeek(file, 0, SEEK_SET) != 0) return -1;
    return size;
}

}  // namespace

bool CopyMovieInChunks(int64_t size, MovieChunkRead read, void* readContext,
                       MovieChunkWrite write, void* writeContext) {
    if (size < 0) return false;
    if (size == 0) return true;
    const size_t chunk = static_cast<size_t>(std::min(size, kCopyChunk));
    auto* buffer = static_cast<uint8_t*>(ZN_ALLOC(chunk));
    if (buffer == nullptr) return false;
    bool whole = true;
    for (int64_t left = size; left > 0 && whole;) {
        const size_t step = static_cast<size_t>(std::min<int64_t>(left, kCopyChunk));
        whole = read(buffer, step, readContext) == static_cast<int64_t>(step) &&
                write(buffer, step, writeContext) == static_cast<int64_t>(step);
        left -= static_cast<int64_t>(step);
    }
    TrackedFree(buffer);
    return whole;
}

int CopyMovieToTempFile(const char* path, char* tempPath) {
    uintptr_t source = FileAccessOpen(path, 0, 0, 0);
    if (source == 0) return -1;
    const int64_t size = FileAccessSize(source);
    plat::File* copy = size >= 0 ? CreateTempFile(tempPath) : nullptr;
    if (copy == nullptr) {
        FileAccessClose(source);
        return -1;
    }
    const bool whole = CopyMovieInChunks(size, ReadThroughFileAccess, &source,
                                         WriteToPlatformFile, copy);
    FileAccessClose(source);
    plat::CloseFile(copy);
    if (!whole) {
        // A copy cut short would play as a shorter (or broken) movie: it is not used.
        LogFormat("ムービーファイル %s の一時ファイルへのコピーに失敗しました", path);
        plat::DeleteFile(tempPath);
        return -1;
    }
    return 0;
}
