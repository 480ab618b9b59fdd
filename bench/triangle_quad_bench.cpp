// A full-screen quad (640 x 480, two textured triangles of the rasteriser) from 32-bit and
// 16-bit sources in a few blend modes, in megapixels per second, beside memcpy of the same
// destination bytes. Sources of the screen's size (one texel per pixel) and of half its size
// (each texel magnified twice).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/rules/blend_tables.h"
#include "softrender/triangle/quad_draw.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int64_t kPixels = int64_t{kWidth} * kHeight;

struct BenchImage {
    std::vector<uint8_t> buffer;
    MEMIMG image{};

    BenchImage(int width, int height, int format, int alpha) {
        const int bytes = MemImgBytesPerPixel(format, 0, alpha);
        const int pitch = (width * bytes + 15) / 16 * 16;
        buffer.assign(static_cast<size_t>(pitch) * height, 0);
        image.pixels = buffer.data();
        CreateMemImg(&image, width, height, pitch, 0, format, 0, alpha);
    }
};

// Sprite-like content: a colour-key pixel, opaque, transparent and partial alpha in runs.
void FillSource(BenchImage& b) {
    MEMIMG& m = b.image;
    const int bytes = MemImgBytesPerPixel(m.pixelFormat, 0, m.alpha);
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            const int run = ((x >> 3) + (y >> 3)) % 4;
            const uint32_t colour = run == 0 ? 0
                                             : ((x * 3 + y) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 |
                                                   ((x ^ y) & 0xFF) | 1;
            const uint32_t alpha = run == 1 ? 0 : run == 2 ? 255 : (x * 7 + y) & 0xFF;
            uint8_t* p = b.buffer.data() + static_cast<size_t>(y) * m.pitch + x * bytes;
            if (m.pixelFormat == MEMIMG_FORMAT_32) {
                const uint32_t v = colour | (m.alpha ? alpha << 24 : 0);
                std::memcpy(p, &v, 4);
            } else {
                const uint16_t c =
                    static_cast<uint16_t>(((colour >> 19) & 0x1F) << 11 |
                                          ((colour >> 10) & 0x3F) << 5 | ((colour >> 3) & 0x1F));
                std::memcpy(p, &c, 2);
                if (m.alpha) p[2] = static_cast<uint8_t>(alpha);
            }
        }
    }
    m.colorKey = 0;  // the key pixels are colour 0
}

struct Images {
    BenchImage dst32{kWidth, kHeight, 1, 0};
    BenchImage dst16{kWidth, kHeight, 0, 0};
    BenchImage src32{kWidth, kHeight, 1, 0};
    BenchImage src32a{kWidth, kHeight, 1, 1};
    BenchImage src16{kWidth, kHeight, 0, 0};
    BenchImage src16a{kWidth, kHeight, 0, 1};
    BenchImage half32{kWidth / 2, kHeight / 2, 1, 0};
    BenchImage half16{kWidth / 2, kHeight / 2, 0, 0};
    std::vector<uint8_t> memcpySource = std::vector<uint8_t>(kPixels * 4, 0x5A);
    std::vector<uint8_t> memcpyDest = std::vector<uint8_t>(kPixels * 4, 0);

    Images() {
        BuildBlendTables();
        for (BenchImage* b : {&src32, &src32a, &src16, &src16a, &half32, &half16}) FillSource(*b);
    }
};

Images& GetImages() {
    static Images images;
    return images;
}

struct QuadCase {
    int bits;
    bool alpha;
    bool half;  // a source of half the screen's size
    int mode, param;
    int transFlag;
};

void RunQuad(benchmark::State& st, QuadCase c) {
    Images& im = GetImages();
    const bool wide = c.bits == 32;
    MEMIMG* dst = wide ? &im.dst32.image : &im.dst16.image;
    const MEMIMG* src = c.half    ? (wide ? &im.half32.image : &im.half16.image)
                        : c.alpha ? (wide ? &im.src32a.image : &im.src16a.image)
                                  : (wide ? &im.src32.image : &im.src16.image);
    DrawState& s = GetDrawState();
    s.blendMode = c.mode;
    s.blendParam = c.param;
    s.bright = 0xFFFFFF;
    s.drawArea = RECT{0, 0, kWidth, kHeight};
    const int32_t corners[8] = {0, 0, kWidth, 0, 0, kHeight, kWidth, kHeight};
    for (auto _ : st) {
        DrawMemImgQuad(dst, src, corners, c.transFlag, nullptr, GetDrawState());
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * kPixels);
}

void RunMemcpy(benchmark::State& st, int bytesPerPixel) {
    Images& im = GetImages();
    const size_t bytes = static_cast<size_t>(kPixels) * bytesPerPixel;
    for (auto _ : st) {
        std::memcpy(im.memcpyDest.data(), im.memcpySource.data(), bytes);
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * kPixels);
}

BENCHMARK_CAPTURE(RunMemcpy, memcpy_32bit, 4);
BENCHMARK_CAPTURE(RunQuad, quad32_copy, QuadCase{32, false, false, 0, 255, 0});
BENCHMARK_CAPTURE(RunQuad, quad32_copy_key, QuadCase{32, false, false, 0, 255, 1});
BENCHMARK_CAPTURE(RunQuad, quad32_alpha128, QuadCase{32, false, false, 1, 128, 0});
BENCHMARK_CAPTURE(RunQuad, quad32_add255, QuadCase{32, false, false, 2, 255, 0});
BENCHMARK_CAPTURE(RunQuad, quad32_srcalpha_key, QuadCase{32, true, false, 0, 255, 1});
BENCHMARK_CAPTURE(RunQuad, quad32_copy_half_source, QuadCase{32, false, true, 0, 255, 0});
BENCHMARK_CAPTURE(RunMemcpy, memcpy_16bit, 2);
BENCHMARK_CAPTURE(RunQuad, quad16_copy, QuadCase{16, false, false, 0, 255, 0});
BENCHMARK_CAPTURE(RunQuad, quad16_copy_key, QuadCase{16, false, false, 0, 255, 1});
BENCHMARK_CAPTURE(RunQuad, quad16_alpha128, QuadCase{16, false, false, 1, 128, 0});
BENCHMARK_CAPTURE(RunQuad, quad16_add255, QuadCase{16, false, false, 2, 255, 0});
BENCHMARK_CAPTURE(RunQuad, quad16_srcalpha_key, QuadCase{16, true, false, 0, 255, 1});
BENCHMARK_CAPTURE(RunQuad, quad16_copy_half_source, QuadCase{16, false, true, 0, 255, 0});

}  // namespace
