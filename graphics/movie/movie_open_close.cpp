// OpenMovieToGraph and CloseMovie: a movie record in the handle table, made and ended.
#include "base/log.h"
#include "base/tracked_memory.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/movie/movie.h"

HandleValue OpenMovieToGraph(const char* path, int32_t* width, int32_t* height, int32_t mode) {
    MovieTable& table = GetMovieTable();
    int32_t slot = 0;
    while (slot < kMaxMovieHandles && table.slots[slot] != nullptr) ++slot;
    if (slot == kMaxMovieHandles) {
        LogFormat("ムービーハンドルが足りません");
        return kNoHandle;
    }
    auto* movie = static_cast<MovieRecord*>(ZN_ALLOC_ZERO(sizeof(MovieRecord)));
    if (movie == nullptr) {
        LogFormat("メモリの確保に失敗しました in OpenMovieToGraph");
        return kNoHandle;
    }
    table.slots[slot] = movie;
    movie->halfWidth = table.halfWidthSwitch;
    movie->isTempFile = 0;
    if (BuildMovieStreams(movie, path, width, height, mode) != 0) {
        TrackedFree(movie);
        table.slots[slot] = nullptr;
        LogFormat("ムービーファイルオープン処理時にエラーが発生しました");
        return kNoHandle;
    }
    movie->playing = 0;
    movie->serial = TakeHandleSerial(&table.serialCounter);
    ++table.count;
    return MakeHandleValue(kHandleKindMovie, movie->serial, slot);
}

void FreeMovie(HandleValue movieHandle) {
    MovieRecord* movie = GetMovieRecord(movieHandle);
    if (movie == nullptr) return;
    if (movie->isTempFile) plat::DeleteFile(movie->fileName);
    ReleaseMovieStreams(movie);
    MovieTable& table = GetMovieTable();
    table.slots[GetHandleSlot(movieHandle)] = nullptr;
    TrackedFree(movie);
    --table.count;
}

int CloseMovie(HandleValue graph, HandleValue movieHandle) {
    if (GetGraphRecord(graph) == nullptr) return -1;
    FreeMovie(movieHandle);
    return 0;
}
