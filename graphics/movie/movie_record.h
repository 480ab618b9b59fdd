// Movie handles (kind 3, 100 slots) and the record behind each: the multimedia stream that
// decodes the file, the stream sample whose surface receives its frames, the graph's control,
// seeking and audio interfaces, the timing of the last frame copy, and the copy of the last
// frame that the graph is filled from.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "softrender/records/color_format.h"
#include "platform/core/file.h"
#include "platform/media/media.h"

namespace plat {
struct Event;
}

// Surface modes of OpenMovieToGraph (the movie option of the load road).
constexpr int32_t kMovieModeScreenFormat = 0;  // system memory in the screen's format
constexpr int32_t kMovieModeOverlay = 1;       // an overlay (none is offered: screen format)
constexpr int32_t kMovieModeRgb24 = 2;         // 24-bit RGB in system memory

struct MovieRecord {
    uint32_t serial;
    plat::Rect sampleRect;  // the sample's rectangle inside its surface
    plat::MultiMediaStream* multiStream;
    plat::MediaStream* videoStream;          // the primary video stream
    plat::DirectDrawMediaStream* ddStream;   // the same stream as a DirectDraw media stream
    plat::DirectDrawStreamSample* sample;
    plat::DrawSurface* sampleSurface;        // null while the device objects are released
    plat::DirectDraw* directDraw;            // the object the stream renders with (null: its own)
    plat::GraphBuilder* graphBuilder;
    plat::MediaControl* mediaControl;
    plat::MediaSeeking* mediaSeeking;
    plat::BasicAudio* basicAudio;
    int64_t timePerFrame;   // 100 ns
    int32_t spare[2];       // set to -1 at open
    int64_t openTime;       // microsecond clock at open
    int64_t lastPresent;    // present count at the last frame copy, -1 before
    uint32_t lastCopyTime;  // millisecond time of the last frame copy
    int64_t stopPosition;
    int32_t inSystemMemory;
    int32_t width, height;
    int32_t halfWidth;      // halves the width reported to the caller
    int32_t playing;
    int32_t overlay;        // always 0: no overlay surfaces are offered
    int32_t alpha;          // 1: frames hold colour left and alpha right (never set here)
    int32_t surfaceMode;    // the mode the movie was opened with, kept for re-opening
    int64_t savedTime;      // stream time saved when the device objects were released
    int32_t isTempFile;     // fileName is a temporary copy, deleted at close
    char fileName[plat::kMaxPath];
    plat::Event* event;     // manual-reset: an asynchronous update completed
    int32_t updatePending;
    PaletteColorFormat frameFormat;  // the sample surface's format
    int32_t frameWidth, frameHeight, framePitch;
    uint8_t* frameBuffer;   // the last frame, framePitch x frameHeight bytes
};

struct MovieTable {
    MovieRecord* slots[kMaxMovieHandles];  // null = free
    int32_t count;
    int32_t serialCounter;
    int32_t halfWidthSwitch;  // copied into each new record (no setter: 0)
};

MovieTable& GetMovieTable();
