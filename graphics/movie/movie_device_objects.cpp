// Around a display change the movies' device objects are released, each movie keeping its
// file and its position, and built again once the display objects exist.
#include "graphics/movie/movie.h"

int ReleaseAllMovieObjects() {
    MovieTable& table = GetMovieTable();
    for (MovieRecord* movie : table.slots) {
        if (movie == nullptr || movie->sampleSurface == nullptr) continue;
        movie->savedTime = 0;
        movie->multiStream->GetTime(&movie->savedTime);
        ReleaseMovieStreams(movie);
    }
    return 0;
}

int ReopenAllMovies() {
    MovieTable& table = GetMovieTable();
    int result = 0;
    for (MovieRecord* movie : table.slots) {
        if (movie == nullptr || movie->sampleSurface != nullptr) continue;
        // The mode the movie was opened with (the overlay flag is always 0 here).
        if (BuildMovieStreams(movie, movie->fileName, nullptr, nullptr, movie->surfaceMode) != 0) {
            result = -1;
            continue;
        }
        movie->multiStream->Seek(movie->savedTime);
        if (movie->playing) movie->multiStream->SetState(plat::StreamState::Run);
    }
    return result;
}
