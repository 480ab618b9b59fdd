// One whole game frame as the library draws it, headless: clear the back screen, draw one
// 640 x 480 background, draw 500 colour-keyed 32 x 32 sprites (unturned, or each turned by its
// own angle), present. Run on the software screen, on DirectDraw surfaces (3D drawing off) and
// through the 3D device (graphs as textures), beside its peer, SDL2's own software renderer
// drawing the same frame (SDL_RenderClear, SDL_RenderCopy of the background and of each
// sprite, SDL_RenderCopyEx for the turned ones, SDL_RenderPresent, over a memory surface),
// the physical limit of moving a frame (memcpy of the same bytes) and SDL2's own way of
// presenting a finished frame (SDL_UpdateTexture + SDL_RenderCopy on a software renderer).
// The vertical-blank wait is off, so the frame rate is what the drawing and the present cost.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/graph_load/graph_load.h"
#include "graphics/screen/screen.h"
#include "library/public/api.h"
#include "platform/testing/d3d_test_controls.h"
#include "platform/testing/reference_presenter.h"
#include "platform/testing/reference_sprite_renderer.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kSprites = 500;
constexpr int kSpriteSize = 32;

// The frame's pictures (0x00RRGGBB): the background, and the sprite, black (the colour key)
// outside a diamond.
uint32_t BackgroundColour(int x, int y) {
    return static_cast<uint32_t>((x * 3) & 0xFF) << 16 | static_cast<uint32_t>(y & 0xFF) << 8 |
           static_cast<uint32_t>((x ^ y) & 0xFF);
}
uint32_t SpriteColour(int x, int y) {
    const int dx = x < 16 ? 15 - x : x - 16, dy = y < 16 ? 15 - y : y - 16;
    return dx + dy < 16 ? 0x00C08040u : 0u;
}

// Where sprite i goes (its top left corner) and how far it is turned (radians).
int SpriteX(int i) { return (i * 97) % (kWidth - kSpriteSize); }
int SpriteY(int i) { return (i * 61) % (kHeight - kSpriteSize); }
double SpriteAngle(int i) { return i * 0.0125; }

// A graph of the given size whose pixels come from colour(x, y) (0x00RRGGBB).
HandleValue MakeGraph(int width, int height, uint32_t (*colour)(int, int)) {
    GraphImage image = {};
    if (InitGraphImageArgb32(width, height, &image) != 0) return kNoHandle;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t c = colour(x, y) | 0xFF000000u;
            std::memcpy(image.pixels + static_cast<size_t>(y) * image.pitch + x * 4, &c, 4);
        }
    }
    const HandleValue graph = MakeGraphFromImage(&image);
    FreeGraphImage(&image);
    return graph;
}

std::vector<uint32_t> MakePixels(int width, int height, uint32_t (*colour)(int, int)) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = colour(x, y);
    }
    return pixels;
}

enum class Road { kSoftwareScreen, kDirectDrawSurfaces, kDirect3D };

// The library started headless on the chosen road, with a background and a keyed sprite.
struct Frame {
    HandleValue background = kNoHandle;
    HandleValue sprite = kNoHandle;
    bool up = false;

    explicit Frame(Road road) {
        setenv("ZN_VIDEO", "headless", 1);
        plat::OfferDirect3D(road == Road::kDirect3D);
        // The log goes to the start directory: keep it out of the caller's.
        std::error_code error;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), error);
        ResetScreenState();
        ApiChangeWindowMode(1);
        if (road == Road::kDirectDrawSurfaces) SetSoftwareRenderRequest(1);
        if (ApiInitLibrary() != 0) return;
        up = true;
        SetVSyncWait(0);
        background = MakeGraph(kWidth, kHeight, BackgroundColour);
        sprite = MakeGraph(kSpriteSize, kSpriteSize, SpriteColour);
        ApiSetDrawTarget(kDrawTargetBack);
    }
    ~Frame() {
        if (up) ApiTermLibrary();
        ResetScreenState();
    }

    // What the library adds to every frame whatever it draws.
    void ClearAndPresent() {
        ClearCurrentScreen();
        PresentScreen();
    }

    void Draw(bool turned) {
        ClearCurrentScreen();
        BlitGraphAt(0, 0, background, 0);
        for (int i = 0; i < kSprites; ++i) {
            const int x = SpriteX(i), y = SpriteY(i);
            if (turned) {
                BlitGraphRotatedInt(x + kSpriteSize / 2, y + kSpriteSize / 2, 1.0, SpriteAngle(i),
                                    sprite, 1, 0);
            } else {
                BlitGraphAt(x, y, sprite, 1);
            }
        }
        PresentScreen();
    }
};

void RunFrames(benchmark::State& state, Road road, bool turned) {
    Frame frame(road);
    if (!frame.up || frame.background == kNoHandle || frame.sprite == kNoHandle) {
        state.SkipWithError("the library did not start");
        return;
    }
    const GraphRecord* sprite = GetGraphRecord(frame.sprite);
    if ((road == Road::kDirect3D) != (sprite->flags.is3D != 0)) {
        state.SkipWithError("the graphs are not on the road asked for");
        return;
    }
    for (auto _ : state) frame.Draw(turned);
    state.SetItemsProcessed(state.iterations());
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

void RunClearAndPresent(benchmark::State& state, Road road) {
    Frame frame(road);
    if (!frame.up) {
        state.SkipWithError("the library did not start");
        return;
    }
    for (auto _ : state) frame.ClearAndPresent();
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

void BM_FrameSoftwareScreen(benchmark::State& state) {
    RunFrames(state, Road::kSoftwareScreen, false);
}
void BM_FrameDirectDrawSurfaces(benchmark::State& state) {
    RunFrames(state, Road::kDirectDrawSurfaces, false);
}
void BM_FrameDirect3D(benchmark::State& state) { RunFrames(state, Road::kDirect3D, false); }
void BM_FrameTurnedSoftwareScreen(benchmark::State& state) {
    RunFrames(state, Road::kSoftwareScreen, true);
}
void BM_FrameTurnedDirect3D(benchmark::State& state) { RunFrames(state, Road::kDirect3D, true); }
void BM_ClearAndPresentSoftwareScreen(benchmark::State& state) {
    RunClearAndPresent(state, Road::kSoftwareScreen);
}
void BM_ClearAndPresentDirectDrawSurfaces(benchmark::State& state) {
    RunClearAndPresent(state, Road::kDirectDrawSurfaces);
}
void BM_ClearAndPresentDirect3D(benchmark::State& state) {
    RunClearAndPresent(state, Road::kDirect3D);
}

// The peer: SDL2's software renderer drawing the same frame.
void RunSdlFrames(benchmark::State& state, bool turned) {
    plat::ReferenceSpriteRenderer* renderer = plat::CreateReferenceSpriteRenderer(kWidth, kHeight);
    if (renderer == nullptr) {
        state.SkipWithError("SDL refused the software renderer");
        return;
    }
    const std::vector<uint32_t> backgroundPixels = MakePixels(kWidth, kHeight, BackgroundColour);
    const std::vector<uint32_t> spritePixels = MakePixels(kSpriteSize, kSpriteSize, SpriteColour);
    const int background = plat::AddReferenceImage(renderer, backgroundPixels.data(), kWidth,
                                                   kHeight, kWidth * 4, false, 0);
    const int sprite = plat::AddReferenceImage(renderer, spritePixels.data(), kSpriteSize,
                                               kSpriteSize, kSpriteSize * 4, true, 0);
    if (background < 0 || sprite < 0) {
        plat::DestroyReferenceSpriteRenderer(renderer);
        state.SkipWithError("SDL refused the textures");
        return;
    }
    for (auto _ : state) {
        int failed = plat::ClearReferenceFrame(renderer);
        failed |= plat::DrawReferenceImage(renderer, background, 0, 0);
        for (int i = 0; i < kSprites; ++i) {
            const int x = SpriteX(i), y = SpriteY(i);
            failed |= turned ? plat::DrawReferenceImageTurned(renderer, sprite,
                                                              x + kSpriteSize / 2,
                                                              y + kSpriteSize / 2, SpriteAngle(i))
                             : plat::DrawReferenceImage(renderer, sprite, x, y);
        }
        failed |= plat::PresentReferenceFrame(renderer);
        if (failed != 0) {
            state.SkipWithError("SDL failed to draw");
            break;
        }
    }
    plat::DestroyReferenceSpriteRenderer(renderer);
    state.SetItemsProcessed(state.iterations());
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}
void BM_FrameSdlSoftwareRenderer(benchmark::State& state) { RunSdlFrames(state, false); }
void BM_FrameTurnedSdlSoftwareRenderer(benchmark::State& state) { RunSdlFrames(state, true); }

// The physical limit: moving one 32-bit frame.
void BM_MemcpyOfAFrame(benchmark::State& state) {
    std::vector<uint8_t> from(static_cast<size_t>(kWidth) * kHeight * 4, 0x5A);
    std::vector<uint8_t> to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(from.size()));
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

// SDL2's own present of one frame (texture upload and copy) on its software renderer.
void BM_SdlUpdateTextureAndRenderCopy(benchmark::State& state) {
    plat::ReferencePresenter* presenter = plat::CreateReferencePresenter(kWidth, kHeight);
    if (presenter == nullptr) {
        state.SkipWithError("SDL refused the software renderer");
        return;
    }
    std::vector<uint32_t> frame(static_cast<size_t>(kWidth) * kHeight, 0x00336699u);
    for (auto _ : state) {
        if (plat::RunReferencePresent(presenter, frame.data(), kWidth * 4) != 0) {
            state.SkipWithError("SDL failed to present");
            break;
        }
    }
    plat::DestroyReferencePresenter(presenter);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate);
}

BENCHMARK(BM_FrameSoftwareScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameDirectDrawSurfaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameDirect3D)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameTurnedSoftwareScreen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameTurnedDirect3D)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameSdlSoftwareRenderer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameTurnedSdlSoftwareRenderer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClearAndPresentSoftwareScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClearAndPresentDirectDrawSurfaces)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClearAndPresentDirect3D)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemcpyOfAFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SdlUpdateTextureAndRenderCopy)->Unit(benchmark::kMicrosecond);

}  // namespace
