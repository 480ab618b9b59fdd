// The movie handle table and the lookup of a movie's record.
#include "graphics/movie/movie.h"
#include "graphics/movie/movie_record.h"

MovieTable& GetMovieTable() {
    static MovieTable table{};
    return table;
}

MovieRecord* GetMovieRecord(HandleValue movie) {
    const int32_t slot = CheckHandleSlot(movie, kHandleKindMovie, kMaxMovieHandles);
    if (slot < 0) return nullptr;
    MovieRecord* record = GetMovieTable().slots[slot];
    if (record == nullptr || !HandleSerialMatches(movie, record->serial)) return nullptr;
    return record;
}
