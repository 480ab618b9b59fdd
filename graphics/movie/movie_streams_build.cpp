// BuildMovieStreams: the filter graph, the multimedia stream on the file, its video stream
// with a sample on a system-memory surface, and the copy buffer of the frames; and the
// release of all of it.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "base/tracked_memory.h"
#include "graphics/drivers/direct_draw_object.h"
#include "graphics/movie/movie.h"
#include "graphics/surfaces/surface_formats.h"
#include "platform/core/clock.h"
#include "platform/core/thread.h"

namespace {

template <class T>
void ReleaseInterface(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

// Logs text, releases what the record holds and fails.
int FailBuild(MovieRecord* movie, const char* text) {
    LogFormat("%s", text);
    ReleaseMovieStreams(movie);
    return -1;
}

// The pixel format of the sample surface for the surface mode: 24-bit RGB for mode 2, else
// the screen's format (on the software screen the standard format of the display depth).
plat::PixelFormat SampleFormat(int32_t mode) {
    SurfacePixelFormat format{};
    if (mode == kMovieModeRgb24) {
        MakeRgbPixelFormat(&format, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    } else {
        const ColorFormat& screen = GetSurfaceScreenFormat()->format;
        MakeRgbPixelFormat(&format, screen.bits, screen.maskR, screen.maskG, screen.maskB, 0);
    }
    return ToPlatPixelFormat(format);
}

// Opens path; when that fails and the record has no temporary copy yet, the file is copied
// out of the file-access layer (an archive, say) and the copy is opened instead.
int OpenMovieFile(MovieRecord* movie, const char* path) {
    if (plat::MSSucceeded(movie->multiStream->OpenFile(path))) {
        if (path != movie->fileName) std::snprintf(movie->fileName, sizeof(movie->fileName), "%s", path);
        return 0;
    }
    if (movie->isTempFile) return -1;
    char tempPath[plat::kMaxPath] = {};
    if (CopyMovieToTempFile(path, tempPath) != 0) return -1;
    std::snprintf(movie->fileName, sizeof(movie->fileName), "%s", tempPath);
    movie->isTempFile = 1;
    if (plat::MSSucceeded(movie->multiStream->OpenFile(movie->fileName))) return 0;
    plat::DeleteFile(movie->fileName);
    movie->isTempFile = 0;
    return -1;
}

// The sample on a system-memory surface of the frame's size; when the stream cannot fill such
// a surface, a sample on a surface the stream makes itself.
int MakeSample(MovieRecord* movie, const plat::SurfaceDesc& format, int32_t mode) {
    plat::DrawSurface* surface = nullptr;
    if (movie->directDraw != nullptr) {
        plat::SurfaceDesc desc{};
        desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
        desc.width = format.width;
        desc.height = format.height;
        desc.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_SYSTEMMEMORY;
        desc.pixelFormat = SampleFormat(mode);
        if (movie->directDraw->CreateSurface(&desc, &surface) < 0) {
            LogFormat("DirectDrawSurface オブジェクトの作成に失敗しました");
            return -1;
        }
    }
    const plat::MSResult made = surface != nullptr
                                    ? movie->ddStream->CreateSample(surface, nullptr, 0, &movie->sample)
                                    : plat::MS_E_NOSURFACE;
    ReleaseInterface(surface);
    if (plat::MSSucceeded(made)) return 0;
    movie->overlay = 0;
    if (plat::MSSucceeded(movie->ddStream->CreateSample(nullptr, nullptr, 0, &movie->sample))) return 0;
    LogFormat("ストリームサンプルを作成できませんでした！");
    return -1;
}

}  // namespace

void ReleaseMovieStreams(MovieRecord* movie) {
    ReleaseInterface(movie->sampleSurface);
    ReleaseInterface(movie->sample);
    ReleaseInterface(movie->ddStream);
    ReleaseInterface(movie->videoStream);
    ReleaseInterface(movie->basicAudio);
    ReleaseInterface(movie->mediaSeeking);
    ReleaseInterface(movie->mediaControl);
    ReleaseInterface(movie->multiStream);
    ReleaseInterface(movie->directDraw);
    ReleaseInterface(movie->graphBuilder);
    if (movie->event != nullptr) plat::CloseEvent(movie->event);
    movie->event = nullptr;
    if (movie->frameBuffer != nullptr) TrackedFree(movie->frameBuffer);
    movie->frameBuffer = nullptr;
    movie->updatePending = 0;
}

int BuildMovieStreams(MovieRecord* movie, const char* path, int32_t* width, int32_t* height,
                      int32_t mode) {
    if (path == nullptr || path[0] == '\0') return FailBuild(movie, "ムービーファイル名がありません");
    // The name is kept for re-opening: one that does not fit would re-open another file.
    if (std::strlen(path) >= sizeof(movie->fileName)) {
        return FailBuild(movie, "ムービーファイル名が長すぎます");
    }
    if (plat::CoCreateFilterGraph(&movie->graphBuilder) < 0) {
        return FailBuild(movie, "CLSID_FilterGraph の作成に失敗しました");
    }
    if (plat::CoCreateMultiMediaStream(&movie->multiStream) < 0) {
        return FailBuild(movie, "IAMMultimediaインターフェイスを取得できませんでした！");
    }
    if (movie->multiStream->Initialize(plat::STREAMTYPE_READ, plat::AMMSF_NOGRAPHTHREAD,
                                       movie->graphBuilder) < 0) {
        return FailBuild(movie, "ストリームを読み取り用にセットアップできませんでした！");
    }
    if (movie->graphBuilder->QueryMediaControl(&movie->mediaControl) < 0) {
        return FailBuild(movie, "IID_IMediaControlインターフェイスの取得に失敗しました");
    }
    // The library's DirectDraw object when there is one; on the software screen the stream
    // renders with an object of its own.
    movie->directDraw = GetDirectDrawObject();
    if (movie->directDraw != nullptr) movie->directDraw->AddRef();
    if (movie->multiStream->AddPrimaryVideoStream(movie->directDraw) < 0) {
        return FailBuild(movie, "プライマリビデオストリームを追加できませんでした！");
    }
    if (movie->multiStream->AddPrimaryAudioStream(plat::AMMSF_ADDDEFAULTRENDERER) < 0) {
        return FailBuild(movie, "デフォルトサウンドレンダラを追加できませんでした！");
    }
    if (OpenMovieFile(movie, path) != 0) {
        LogFormat("ファイル:%s が開けませんでした", path);
        ReleaseMovieStreams(movie);
        return -1;
    }
    if (movie->graphBuilder->QueryMediaSeeking(&movie->mediaSeeking) < 0) {
        return FailBuild(movie, "メディアシーキングインターフェースの取得に失敗しました");
    }
    movie->mediaSeeking->GetStopPosition(&movie->stopPosition);
    if (movie->graphBuilder->QueryBasicAudio(&movie->basicAudio) < 0) {
        return FailBuild(movie, "BasicAudio インターフェースの取得に失敗しました");
    }
    if (movie->multiStream->GetMediaStream(plat::StreamPurpose::Video, &movie->videoStream) < 0) {
        return FailBuild(movie, "プライマリビデオストリームインターフェイスを取得できませんでした！");
    }
    movie->ddStream = plat::QueryDirectDrawMediaStream(movie->videoStream);
    if (movie->ddStream == nullptr) {
        return FailBuild(movie, "DirectDrawメディアストリームインターフェイスを取得できませんでした！");
    }
    plat::SurfaceDesc format{};
    if (movie->ddStream->GetFormat(&format) < 0 || format.width == 0 || format.height == 0) {
        return FailBuild(movie, "動画ファイルではない可能性があります！");
    }
    // No overlay surfaces are offered: every mode takes the normal road.
    movie->overlay = 0;
    if (MakeSample(movie, format, mode) != 0) {
        ReleaseMovieStreams(movie);
        return -1;
    }
    if (movie->sample->GetSurface(&movie->sampleSurface, &movie->sampleRect) < 0) {
        return FailBuild(movie, "ストリームサンプルからIDirectDrawSurfaceインターフェイスを取得できませんでした！");
    }
    movie->width = movie->sampleRect.right - movie->sampleRect.left;
    movie->height = movie->sampleRect.bottom - movie->sampleRect.top;
    if (width != nullptr) *width = movie->halfWidth ? movie->width / 2 : movie->width;
    if (height != nullptr) *height = movie->height;
    plat::SurfaceDesc described{};
    plat::SurfaceCaps caps{};
    if (movie->sampleSurface->GetSurfaceDesc(&described) < 0 ||
        movie->sampleSurface->GetCaps(&caps) < 0) {
        return FailBuild(movie, "IDirectDrawSurface4インターフェイスを取得できませんでした！");
    }
    movie->inSystemMemory = (caps.caps & plat::DDSCAPS_SYSTEMMEMORY) ? 1 : 0;

    SurfacePixelFormat pixelFormat{};
    std::memcpy(&pixelFormat, &described.pixelFormat, sizeof(pixelFormat));
    if (ColorFormatFromPixelFormat(&pixelFormat, &movie->frameFormat) != 0) {
        return FailBuild(movie, "ムービーのピクセルフォーマットが扱えません");
    }
    const int32_t bytes = movie->frameFormat.format.bytes;
    movie->frameWidth = movie->width;
    movie->frameHeight = movie->height;
    movie->framePitch = (bytes * movie->width + 3) / 4 * 4;
    const size_t frameBytes = static_cast<size_t>(movie->framePitch) * movie->frameHeight;
    movie->frameBuffer = static_cast<uint8_t*>(ZN_ALLOC_ZERO(frameBytes != 0 ? frameBytes : 1));
    if (movie->frameBuffer == nullptr) return FailBuild(movie, "メモリの確保に失敗しました");

    movie->event = plat::CreateEvent(true, false);
    if (movie->event == nullptr) return FailBuild(movie, "イベントの作成に失敗しました");
    movie->updatePending = 0;
    movie->lastPresent = -1;
    movie->lastCopyTime = static_cast<uint32_t>(-1);
    movie->spare[0] = movie->spare[1] = -1;
    const uint64_t counter = plat::PerformanceCounter();
    const uint64_t frequency = std::max<uint64_t>(plat::PerformanceFrequency(), 1);
    movie->openTime = static_cast<int64_t>(counter / frequency * 1000000 +
                                           counter % frequency * 1000000 / frequency);
    movie->ddStream->GetTimePerFrame(&movie->timePerFrame);
    movie->surfaceMode = mode;
    return 0;
}
