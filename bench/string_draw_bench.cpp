// String drawing from the glyph cache into a 640 x 480 software image: a line of 40 cached
// characters of each font type, and the same line with a cache too small to hold it (every
// character rendered again on every draw).
#include <benchmark/benchmark.h>

#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"
#include "graphics/graph_load/graph_system.h"
#include "softrender/records/memimg.h"

namespace {

const char* const kLine = "SCORE 0012345 \x83\x8C\x83\x78\x83\x8B 3 \x82\xA0\x82\xA2\x82\xA4 HI 99999 LIVES 2";

ScreenDriver gScreen = kAbsentScreen;

void StartFonts() {
    static bool started = false;
    if (started) return;
    started = true;
    gScreen.isNoDirectDraw = [] { return 1; };
    gScreen.isScreenSoftwareDrawn = [] { return 1; };
    ScreenSlot().Install(gScreen);
    FontSlot().Install(kFontModule);
    InitGraphSystem();
}

void DrawLine(benchmark::State& state, int32_t type, int32_t size) {
    StartFonts();
    const HandleValue font = CreateFontToHandle(nullptr, size, 6, type, -1, -1, 0, -1, -1);
    MEMIMG image{};
    InitMemImgPlain(&image, 640, 480, type >= 2 ? MEMIMG_FORMAT_32 : MEMIMG_FORMAT_565);
    const RECT clip{0, 0, 640, 480};
    for (auto _ : state) {
        benchmark::DoNotOptimize(DrawCachedString(1, 8, 200, 0, 1.0, 1.0, kLine, 0xFFFF, &image,
                                                  &clip, 1, font, 0x1234, -1, 0, nullptr));
    }
    ReleaseMemImg(&image);
    DestroyFont(font);
}

void BM_CachedLine(benchmark::State& state) {
    DrawLine(state, static_cast<int32_t>(state.range(0)), 16);
}
BENCHMARK(BM_CachedLine)->DenseRange(0, 3);

// A 200-pixel font keeps 20 cells: the line's characters evict each other on every draw.
void BM_LineLargerThanTheCache(benchmark::State& state) { DrawLine(state, 0, 200); }
BENCHMARK(BM_LineLargerThanTheCache);

}  // namespace
