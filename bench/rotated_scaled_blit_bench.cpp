// The scaled and the rotated blit: a 320x240 source enlarged onto 640x480, a 1280x960 source
// shrunk onto 640x480 and mirrored, a 400x400 source turned by 30 degrees, and the game's load
// of 500 sprites of 32x32 at random angles with colour key (ns per sprite). Beside them the
// physical limit (memcpy of the destination bytes drawn) and SDL2's nearest-pixel scaled blit
// where it does the same work (it does not mirror: its peer of the mirrored shrink is the
// plain shrink). After the runs a table gives each of ours as a ratio of time to memcpy and
// to its SDL2 peer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/records/rect.h"
#include "platform/testing/reference_blitter.h"
#include "softrender/rules/blend_tables.h"
#include "softrender/rotated/blit_rotated.h"
#include "softrender/scaled/blit_scaled.h"

namespace {

constexpr int kScreenW = 640;
constexpr int kScreenH = 480;
constexpr int kSprites = 500;

struct BenchImage {
    std::vector<uint8_t> buffer;
    MEMIMG image{};

    BenchImage(int width, int height, int format) {
        const int bytes = MemImgBytesPerPixel(format, 0, 0);
        const int pitch = (width * bytes + 15) / 16 * 16;
        buffer.assign(static_cast<size_t>(pitch) * height, 0);
        image.pixels = buffer.data();
        CreateMemImg(&image, width, height, pitch, 0, format, 0, 0);
    }
    void Set(int x, int y, uint32_t v) {
        const int bytes = image.pixelFormat == 1 ? 4 : 2;
        std::memcpy(buffer.data() + static_cast<size_t>(y) * image.pitch + x * bytes, &v, bytes);
    }
};

constexpr uint32_t kKey32 = 0x00FF00FF;
constexpr uint32_t kKey16 = 0xF81F;

uint16_t To565(uint32_t c) {
    return static_cast<uint16_t>(((c >> 19) & 0x1F) << 11 | ((c >> 10) & 0x3F) << 5 | ((c >> 3) & 0x1F));
}

// Sprite-like content: a disc of colours on the colour key.
void FillSprite(BenchImage& image) {
    const int w = image.image.width, h = image.image.height;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x + 0.5) / w - 0.5, dy = (y + 0.5) / h - 0.5;
            const bool inside = dx * dx + dy * dy < 0.2;
            const uint32_t c = static_cast<uint32_t>((x * 7 + y * 3) & 0xFF) << 16 |
                               static_cast<uint32_t>((x ^ y) & 0xFF) << 8 | static_cast<uint32_t>(y & 0xFF);
            if (image.image.pixelFormat == 1) {
                image.Set(x, y, inside ? c : kKey32);
            } else {
                image.Set(x, y, inside ? To565(c) : kKey16);
            }
        }
    }
    image.image.colorKey = image.image.pixelFormat == 1 ? kKey32 : kKey16;
}

struct Images {
    BenchImage screen32{kScreenW, kScreenH, 1};
    BenchImage screen16{kScreenW, kScreenH, 0};
    BenchImage small32{320, 240, 1};
    BenchImage small16{320, 240, 0};
    BenchImage large32{1280, 960, 1};
    BenchImage large16{1280, 960, 0};
    BenchImage square32{400, 400, 1};
    BenchImage square16{400, 400, 0};
    BenchImage sprite32{32, 32, 1};
    BenchImage sprite16{32, 32, 0};
    std::vector<uint8_t> memcpySource = std::vector<uint8_t>(kScreenW * kScreenH * 4, 0x5A);
    std::vector<uint8_t> memcpyDest = std::vector<uint8_t>(kScreenW * kScreenH * 4, 0);

    Images() {
        for (BenchImage* image : {&small32, &small16, &large32, &large16, &square32, &square16,
                                  &sprite32, &sprite16}) {
            FillSprite(*image);
        }
    }
};

Images& GetImages() {
    static Images images;
    return images;
}

void PrepareState(int mode, int param) {
    static bool tablesBuilt = false;
    if (!tablesBuilt) {
        BuildBlendTables();
        tablesBuilt = true;
    }
    DrawState& s = GetDrawState();
    s.drawArea = RECT{0, 0, kScreenW, kScreenH};
    s.blendMode = mode;
    s.blendParam = param;
    s.bright = 0xFFFFFF;
    UseMmx = 1;
}

// --- ours ----------------------------------------------------------------------------------

struct Case {
    std::string name;
    std::string peer;    // SDL2 benchmark compared with, or ""
    std::string limit;   // memcpy benchmark of the same destination bytes
    int bits;
    int mode, param, transFlag;
};

void RunScaledUp(benchmark::State& st, Case c) {
    Images& im = GetImages();
    MEMIMG* dst = c.bits == 32 ? &im.screen32.image : &im.screen16.image;
    const MEMIMG* src = c.bits == 32 ? &im.small32.image : &im.small16.image;
    PrepareState(c.mode, c.param);
    for (auto _ : st) {
        BlitMemImgScaled(dst, src, RECT{0, 0, kScreenW, kScreenH}, c.transFlag, nullptr, GetDrawState());
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * kScreenW * kScreenH);
}

void RunScaledDownMirrored(benchmark::State& st, Case c) {
    Images& im = GetImages();
    MEMIMG* dst = c.bits == 32 ? &im.screen32.image : &im.screen16.image;
    const MEMIMG* src = c.bits == 32 ? &im.large32.image : &im.large16.image;
    PrepareState(c.mode, c.param);
    for (auto _ : st) {
        BlitMemImgScaled(dst, src, RECT{kScreenW, 0, 0, kScreenH}, c.transFlag, nullptr, GetDrawState());
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * kScreenW * kScreenH);
}

void RunRotatedSquare(benchmark::State& st, Case c) {
    Images& im = GetImages();
    MEMIMG* dst = c.bits == 32 ? &im.screen32.image : &im.screen16.image;
    const MEMIMG* src = c.bits == 32 ? &im.square32.image : &im.square16.image;
    PrepareState(c.mode, c.param);
    const float angle = static_cast<float>(M_PI / 6);
    for (auto _ : st) {
        BlitMemImgRotated(dst, src, kScreenW / 2, kScreenH / 2, angle, 1.0f, c.transFlag, 0, nullptr, GetDrawState());
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * 400 * 400);
}

// The game's load: every moving sprite drawn through the rotated blit.
void RunRotatedSprites(benchmark::State& st, Case c) {
    Images& im = GetImages();
    MEMIMG* dst = c.bits == 32 ? &im.screen32.image : &im.screen16.image;
    const MEMIMG* src = c.bits == 32 ? &im.sprite32.image : &im.sprite16.image;
    PrepareState(c.mode, c.param);
    struct Sprite {
        int32_t x, y;
        float angle;
    };
    std::vector<Sprite> sprites;
    std::mt19937 rng(2024);
    for (int i = 0; i < kSprites; ++i) {
        sprites.push_back({static_cast<int32_t>(rng() % kScreenW), static_cast<int32_t>(rng() % kScreenH),
                           static_cast<float>(rng() % 6283) / 1000.0f});
    }
    for (auto _ : st) {
        for (const Sprite& s : sprites) {
            BlitMemImgRotated(dst, src, s.x, s.y, s.angle, 1.0f, c.transFlag, 0, nullptr, GetDrawState());
        }
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * kSprites);
}

// --- the physical limit and SDL2 ------------------------------------------------------------

void RunMemcpy(benchmark::State& st, size_t bytes, int64_t items) {
    Images& im = GetImages();
    for (auto _ : st) {
        std::memcpy(im.memcpyDest.data(), im.memcpySource.data(), bytes);
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * items);
}

plat::ReferenceImage Reference(BenchImage& image) {
    return plat::ReferenceImage{image.buffer.data(), image.image.width, image.image.height,
                                image.image.pitch,
                                image.image.pixelFormat == 1 ? plat::ReferencePixelLayout::Xrgb8888
                                                             : plat::ReferencePixelLayout::Rgb565,
                                nullptr};
}

void RunSdlScaled(benchmark::State& st, int bits, bool large, bool key) {
    Images& im = GetImages();
    BenchImage& dst = bits == 32 ? im.screen32 : im.screen16;
    BenchImage& src = large ? (bits == 32 ? im.large32 : im.large16) : (bits == 32 ? im.small32 : im.small16);
    plat::ReferenceBlit* blit = plat::CreateReferenceBlit(
        Reference(src), Reference(dst), key ? plat::ReferenceBlend::ColorKey : plat::ReferenceBlend::Copy,
        bits == 32 ? kKey32 : kKey16, 255);
    if (blit == nullptr) {
        st.SkipWithError("SDL refused the surfaces");
        return;
    }
    for (auto _ : st) {
        plat::RunReferenceBlitScaled(blit, 0, 0, kScreenW, kScreenH);
        benchmark::ClobberMemory();
    }
    plat::DestroyReferenceBlit(blit);
    st.SetItemsProcessed(st.iterations() * kScreenW * kScreenH);
}

class RateReporter : public benchmark::ConsoleReporter {
public:
    RateReporter() : ConsoleReporter(OO_None) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const auto it = run.counters.find("items_per_second");
            if (it != run.counters.end()) rates_[run.run_name.function_name] = it->second.value;
            seconds_[run.run_name.function_name] = run.GetAdjustedRealTime() /
                                                   benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Rate(const std::string& name) const {
        const auto it = rates_.find(name);
        return it == rates_.end() ? 0.0 : it->second;
    }
    double Seconds(const std::string& name) const {
        const auto it = seconds_.find(name);
        return it == seconds_.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> rates_;
    std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const double minTime = 0.2;
    benchmark::RegisterBenchmark("memcpy/640x480x32", RunMemcpy, size_t{kScreenW * kScreenH * 4},
                                 int64_t{kScreenW * kScreenH})->MinTime(minTime);
    benchmark::RegisterBenchmark("memcpy/640x480x16", RunMemcpy, size_t{kScreenW * kScreenH * 2},
                                 int64_t{kScreenW * kScreenH})->MinTime(minTime);
    benchmark::RegisterBenchmark("memcpy/400x400x32", RunMemcpy, size_t{400 * 400 * 4},
                                 int64_t{400 * 400})->MinTime(minTime);
    benchmark::RegisterBenchmark("memcpy/400x400x16", RunMemcpy, size_t{400 * 400 * 2},
                                 int64_t{400 * 400})->MinTime(minTime);
    benchmark::RegisterBenchmark("memcpy/500 sprites 32x32x32", RunMemcpy, size_t{kSprites * 32 * 32 * 4},
                                 int64_t{kSprites})->MinTime(minTime);
    benchmark::RegisterBenchmark("memcpy/500 sprites 32x32x16", RunMemcpy, size_t{kSprites * 32 * 32 * 2},
                                 int64_t{kSprites})->MinTime(minTime);
    for (int bits : {32, 16}) {
        const std::string b = std::to_string(bits);
        for (bool key : {false, true}) {
            const std::string k = key ? " key" : " copy";
            benchmark::RegisterBenchmark(("sdl/" + b + "/up" + k).c_str(), RunSdlScaled, bits, false, key)->MinTime(minTime);
            benchmark::RegisterBenchmark(("sdl/" + b + "/down" + k).c_str(), RunSdlScaled, bits, true, key)->MinTime(minTime);
        }
    }

    std::vector<std::pair<Case, void (*)(benchmark::State&, Case)>> ours;
    for (int bits : {32, 16}) {
        const std::string b = std::to_string(bits);
        const std::string screen = "memcpy/640x480x" + b;
        const std::string square = "memcpy/400x400x" + b;
        const std::string sprites = "memcpy/500 sprites 32x32x" + b;
        ours.push_back({{"ours/" + b + "/up 320x240 to 640x480 copy", "sdl/" + b + "/up copy", screen, bits, 0, 255, 0}, RunScaledUp});
        ours.push_back({{"ours/" + b + "/up 320x240 to 640x480 key", "sdl/" + b + "/up key", screen, bits, 0, 255, 1}, RunScaledUp});
        ours.push_back({{"ours/" + b + "/up 320x240 to 640x480 mode1 p128", "", screen, bits, 1, 128, 0}, RunScaledUp});
        ours.push_back({{"ours/" + b + "/down 1280x960 to 640x480 mirrored copy", "sdl/" + b + "/down copy", screen, bits, 0, 255, 0}, RunScaledDownMirrored});
        ours.push_back({{"ours/" + b + "/down 1280x960 to 640x480 mirrored key", "sdl/" + b + "/down key", screen, bits, 0, 255, 1}, RunScaledDownMirrored});
        ours.push_back({{"ours/" + b + "/rotated 400x400 by 30 deg copy", "", square, bits, 0, 255, 0}, RunRotatedSquare});
        ours.push_back({{"ours/" + b + "/rotated 400x400 by 30 deg key", "", square, bits, 0, 255, 1}, RunRotatedSquare});
        ours.push_back({{"ours/" + b + "/rotated 400x400 by 30 deg mode2 p128", "", square, bits, 2, 128, 0}, RunRotatedSquare});
        ours.push_back({{"ours/" + b + "/500 sprites 32x32 rotated, key", "", sprites, bits, 0, 255, 1}, RunRotatedSprites});
        ours.push_back({{"ours/" + b + "/500 sprites 32x32 rotated, key, mode1 p128", "", sprites, bits, 1, 128, 1}, RunRotatedSprites});
    }
    for (const auto& [c, fn] : ours) {
        benchmark::RegisterBenchmark(c.name.c_str(), fn, c)->MinTime(minTime);
    }

    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-56s %12s %10s %10s  %s\n", "ours", "per draw", "x memcpy", "x SDL2", "SDL2 peer");
    for (const auto& [c, fn] : ours) {
        const double rate = reporter.Rate(c.name);
        if (rate == 0.0) continue;
        const double limit = reporter.Rate(c.limit);
        const double peer = c.peer.empty() ? 0.0 : reporter.Rate(c.peer);
        char perDraw[32];
        if (fn == RunRotatedSprites) {
            std::snprintf(perDraw, sizeof perDraw, "%.0f ns/spr", 1e9 / rate);
        } else {
            std::snprintf(perDraw, sizeof perDraw, "%.1f us", reporter.Seconds(c.name) * 1e6);
        }
        // Time ratios: how many times longer than memcpy of the same bytes, or than SDL2.
        char vsPeer[32] = "-";
        if (peer > 0.0) std::snprintf(vsPeer, sizeof vsPeer, "%.2f", peer / rate);
        std::printf("%-56s %12s %10.2f %10s  %s\n", c.name.c_str(), perDraw,
                    limit > 0.0 ? limit / rate : 0.0, vsPeer, c.peer.c_str());
    }
    return 0;
}
