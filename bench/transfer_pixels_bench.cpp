// Cost of a full-screen (640 × 480) TransferPixels for the pairs that loading and software
// presenting use, against the channel-by-channel loop that any other pair takes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/pixels/transfer_pixels.h"

namespace {

constexpr int kWidth = 640, kHeight = 480;

PaletteColorFormat Format(int bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    PaletteColorFormat f;
    BuildColorFormat(&f, bits, r, g, b, a);
    return f;
}

void Run(benchmark::State& state, const PaletteColorFormat& dest, const PaletteColorFormat& source,
         int dither, int keyToAlpha) {
    std::vector<uint8_t> src(static_cast<size_t>(kWidth) * 4 * kHeight);
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    std::vector<uint8_t> dst(static_cast<size_t>(kWidth) * 4 * kHeight);
    const RECT rect = {0, 0, kWidth, kHeight};
    for (auto _ : state) {
        TransferPixels(dst.data(), kWidth * dest.format.bytes, &dest, src.data(),
                       kWidth * source.format.bytes, &source, nullptr, 0, nullptr, 0, 0, &rect, 0,
                       keyToAlpha, 0xFF00FF, dither, 0, 0, 0);
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    state.SetLabel(std::to_string(static_cast<int>(GetLastTransferLoop())));
}

void BM_Rgb24ToXrgb32(benchmark::State& state) {
    PaletteColorFormat rgb24;
    SetColorFormatRgb24(&rgb24);
    Run(state, Format(32, 0xFF0000, 0xFF00, 0xFF, 0), rgb24, 0, 0);
}
BENCHMARK(BM_Rgb24ToXrgb32);

void BM_Rgb24ToArgb32KeyToAlpha(benchmark::State& state) {
    PaletteColorFormat rgb24, argb;
    SetColorFormatRgb24(&rgb24);
    SetColorFormatArgb32(&argb);
    Run(state, argb, rgb24, 0, 1);
}
BENCHMARK(BM_Rgb24ToArgb32KeyToAlpha);

void BM_Xrgb32To565Dithered(benchmark::State& state) {
    Run(state, Format(16, 0xF800, 0x07E0, 0x1F, 0), Format(32, 0xFF0000, 0xFF00, 0xFF, 0), 1, 0);
}
BENCHMARK(BM_Xrgb32To565Dithered);

void BM_565ToXrgb32(benchmark::State& state) {
    Run(state, Format(32, 0xFF0000, 0xFF00, 0xFF, 0), Format(16, 0xF800, 0x07E0, 0x1F, 0), 0, 0);
}
BENCHMARK(BM_565ToXrgb32);

void BM_Paletted8ToXrgb32(benchmark::State& state) {
    PaletteColorFormat p8;
    SetColorFormat8(&p8);
    Run(state, Format(32, 0xFF0000, 0xFF00, 0xFF, 0), p8, 0, 0);
}
BENCHMARK(BM_Paletted8ToXrgb32);

void BM_GenericX555To565(benchmark::State& state) {
    Run(state, Format(16, 0xF800, 0x07E0, 0x1F, 0), Format(16, 0x7C00, 0x03E0, 0x1F, 0), 0, 0);
}
BENCHMARK(BM_GenericX555To565);

}  // namespace
