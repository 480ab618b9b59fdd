// UpdateMovieFrame: at a draw of a movie graph, the stream sample is updated (asynchronously
// while the movie plays) and a new frame is copied into the frame buffer and from there into
// the graph.
#include <algorithm>
#include <cstring>

#include "base/log.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/image_transfer/movie_frame.h"
#include "graphics/movie/movie.h"
#include "graphics/screen/screen_state.h"
#include "platform/core/clock.h"
#include "platform/core/thread.h"

namespace {

// Two draws within this many milliseconds of one present copy one frame.
constexpr uint32_t kFrameCopyInterval = 18;

enum class UpdateStart { Ready, Pending, Ended };

UpdateStart StartUpdate(MovieRecord* movie, int force) {
    const plat::MSResult result = force ? movie->sample->Update(0, nullptr)
                                        : movie->sample->Update(plat::SSUPDATE_ASYNC, movie->event);
    if (result == plat::MS_OK) return UpdateStart::Ready;
    if (result == plat::MS_S_PENDING) {
        movie->updatePending = 1;
        return UpdateStart::Pending;
    }
    movie->playing = 0;
    return UpdateStart::Ended;
}

// The sample surface's rows into the frame buffer: as many rows and bytes as the sample's
// rectangle, the buffer and the lock's pitch all hold.
void CopySampleToFrameBuffer(MovieRecord* movie) {
    plat::SurfaceDesc locked{};
    if (movie->sampleSurface->Lock(&movie->sampleRect, &locked,
                                   plat::DDLOCK_WAIT | plat::DDLOCK_READONLY) < 0) {
        return;
    }
    const int32_t bytes = movie->frameFormat.format.bytes;
    const int64_t rowBytes =
        std::min({int64_t{bytes} * (movie->sampleRect.right - movie->sampleRect.left),
                  int64_t{movie->framePitch}, int64_t{locked.pitch}});
    const int32_t rows =
        std::min(movie->sampleRect.bottom - movie->sampleRect.top, movie->frameHeight);
    const auto* source = static_cast<const uint8_t*>(locked.surface);
    for (int32_t row = 0; rowBytes > 0 && row < rows; ++row) {
        std::memcpy(movie->frameBuffer + int64_t{row} * movie->framePitch,
                    source + int64_t{row} * locked.pitch, static_cast<size_t>(rowBytes));
    }
    movie->sampleSurface->Unlock(&movie->sampleRect);
}

// A frame is in the sample: copied into the graph, and the copy's time recorded.
void TakeFrame(MovieRecord* movie, GraphRecord* graph) {
    CopySampleToFrameBuffer(movie);
    if (!movie->overlay) {
        MovieFrame frame{};
        frame.image.colorFormat = movie->frameFormat;
        frame.image.width = movie->frameWidth;
        frame.image.height = movie->frameHeight;
        frame.image.pitch = movie->framePitch;
        frame.image.pixels = movie->frameBuffer;
        frame.surfaceMode = movie->surfaceMode == kMovieModeRgb24 ? kMovieSurfaceRgb24
                                                                  : kMovieSurfaceScreenFormat;
        frame.alpha = movie->alpha;
        CopyMovieFrameToGraph(&frame, graph);
    }
    movie->lastPresent = static_cast<int64_t>(GetPresentCount());
    movie->lastCopyTime = plat::MillisecondClock();
    plat::ResetEvent(movie->event);
    movie->updatePending = 0;
}

}  // namespace

int UpdateMovieFrame(HandleValue graphHandle, int force) {
    GraphRecord* graph = GetGraphRecord(graphHandle);
    if (graph == nullptr) return -1;
    if (graph->movie == kNoHandle) return 0;
    MovieRecord* movie = GetMovieRecord(graph->movie);
    if (movie == nullptr) return -1;
    if (movie->sampleSurface == nullptr) return 0;

    if (!force) {
        plat::StreamState state = plat::StreamState::Stop;
        movie->multiStream->GetState(&state);
        if (!movie->playing || state != plat::StreamState::Run) return 0;
        if (movie->lastPresent == static_cast<int64_t>(GetPresentCount()) &&
            plat::MillisecondClock() - movie->lastCopyTime < kFrameCopyInterval) {
            return 0;
        }
    }

    if (movie->updatePending && force) {
        // The outstanding update gives way to a synchronous one.
        movie->sample->CompletionStatus(plat::COMPSTAT_ABORT, 0);
        plat::ResetEvent(movie->event);
        movie->updatePending = 0;
    }
    if (movie->updatePending) {
        const plat::MSResult status = movie->sample->CompletionStatus(0, 0);
        if (plat::WaitEvent(movie->event, 0) != plat::WaitResult::Signalled) return 0;
        if (status == plat::MS_S_ENDOFSTREAM || !plat::MSSucceeded(status)) {
            // The stream ended while the update waited: the last frame stays.
            plat::ResetEvent(movie->event);
            movie->updatePending = 0;
            movie->playing = 0;
            return 0;
        }
    } else if (StartUpdate(movie, force) != UpdateStart::Ready) {
        return 0;
    }
    TakeFrame(movie, graph);
    if (force) return 0;
    // The next frame is asked for at once; when it is already due it is shown as well.
    if (StartUpdate(movie, 0) == UpdateStart::Ready) TakeFrame(movie, graph);
    return 0;
}
