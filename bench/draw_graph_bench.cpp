// What the graph drawing family costs on top of the draws it hands on to: a colour-keyed
// 32 x 32 sprite drawn through the public entry (lock, checks, bracket, back end) beside the
// unscaled draw called directly, and a rotated sprite through the family beside the software
// renderer's rotated draw called directly. Headless, on the software screen.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_graph/soft_road/blit_graph_2d.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/codecs/graph_image.h"
#include "graphics/graph_load/graph_load.h"
#include "graphics/screen/screen.h"
#include "library/public/api.h"
#include "graphics/draw_graph/soft_road/rotated_graph_soft.h"

namespace {

constexpr int kSpriteSize = 32;

// The library started headless on the software screen with one keyed sprite.
struct Library {
    HandleValue sprite = kNoHandle;
    bool up = false;

    Library() {
        setenv("ZN_VIDEO", "headless", 1);
        // The log goes to the start directory: keep it out of the caller's.
        std::error_code error;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), error);
        ResetScreenState();
        ApiChangeWindowMode(1);
        if (ApiInitLibrary() != 0) return;
        up = true;
        GraphImage image = {};
        if (InitGraphImageArgb32(kSpriteSize, kSpriteSize, &image) != 0) return;
        for (int y = 0; y < kSpriteSize; ++y) {
            for (int x = 0; x < kSpriteSize; ++x) {
                const int dx = x < 16 ? 15 - x : x - 16, dy = y < 16 ? 15 - y : y - 16;
                const uint32_t c = (dx + dy < 16 ? 0x00C08040u : 0u) | 0xFF000000u;
                std::memcpy(image.pixels + static_cast<size_t>(y) * image.pitch + x * 4, &c, 4);
            }
        }
        sprite = MakeGraphFromImage(&image);
        FreeGraphImage(&image);
        ApiSetDrawTarget(kDrawTargetBack);
    }
    ~Library() {
        if (up) ApiTermLibrary();
        ResetScreenState();
    }
};

template <class Draw>
void Run(benchmark::State& state, Draw draw) {
    Library library;
    if (!library.up || library.sprite == kNoHandle) {
        state.SkipWithError("the library did not start");
        return;
    }
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(draw(library.sprite, (i * 97) % 600, (i * 61) % 440));
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_SpriteThroughApiDrawGraphAt(benchmark::State& state) {
    Run(state, [](HandleValue g, int x, int y) { return ApiDrawGraphAt(x, y, g, 1); });
}
void BM_SpriteThroughBlitGraph2D(benchmark::State& state) {
    Run(state, [](HandleValue g, int x, int y) {
        return BlitGraph2D(x, y, GetGraphRecord(g), 1, 1);
    });
}
void BM_RotatedThroughApiDrawGraphRotatedInt(benchmark::State& state) {
    Run(state, [](HandleValue g, int x, int y) {
        return ApiDrawGraphRotatedInt(x + 16, y + 16, 1.5, 0.5, g, 1, 0);
    });
}
void BM_RotatedThroughBlitGraphRotatedSoft(benchmark::State& state) {
    Run(state, [](HandleValue g, int x, int y) {
        return BlitGraphRotatedSoft(static_cast<float>(x + 16), static_cast<float>(y + 16), 1.5,
                                    0.5, GetGraphRecord(g), 1, 0);
    });
}

BENCHMARK(BM_SpriteThroughApiDrawGraphAt);
BENCHMARK(BM_SpriteThroughBlitGraph2D);
BENCHMARK(BM_RotatedThroughApiDrawGraphRotatedInt);
BENCHMARK(BM_RotatedThroughBlitGraphRotatedSoft);

}  // namespace
