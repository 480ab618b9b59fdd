// Full-screen (640 x 480) draws of the unscaled blit and the rectangle fill, in megapixels per
// second, beside the physical limit (memcpy of the same bytes) and SDL2's software blitter in
// its matching modes. After the runs a table gives each of ours as a ratio to memcpy and to
// its SDL2 peer. Goals: every mode at least as fast as its SDL2 peer, the plain copy within
// 2x of memcpy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "softrender/records/memimg.h"
#include "platform/testing/reference_blitter.h"
#include "softrender/rules/blend_tables.h"
#include "softrender/unscaled/blit_unscaled.h"
#include "softrender/fill/fill_rect.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int64_t kPixels = int64_t{kWidth} * kHeight;

// A MEMIMG over a buffer the benchmark owns.
struct BenchImage {
    std::vector<uint8_t> buffer;
    MEMIMG image{};

    BenchImage(int width, int height, int format, int paletted, int alpha) {
        const int bytes = MemImgBytesPerPixel(format, paletted, alpha);
        const int pitch = (width * bytes + 15) / 16 * 16;
        buffer.assign(static_cast<size_t>(pitch) * height, 0);
        image.pixels = buffer.data();
        CreateMemImg(&image, width, height, pitch, 0, format, paletted, alpha);
    }
    uint8_t* At(int x, int y) { return buffer.data() + static_cast<size_t>(y) * image.pitch + x * MemImgBytesPerPixel(image.pixelFormat, image.paletted, image.alpha); }
};

// Sprite-like content: colour-key pixels and alpha levels in runs of 8 pixels.
bool KeyedAt(int x, int y) { return ((x >> 3) + (y >> 3)) % 3 == 0; }
uint32_t AlphaAt(int x, int y) {
    switch (((x >> 3) + (y >> 3)) % 4) {
        case 0: return 0;
        case 3: return static_cast<uint32_t>(x * 7 + y) & 0xFFu;
        default: return 255;
    }
}
uint32_t ColourAt(int x, int y) {
    return (static_cast<uint32_t>(x * 3 + y) & 0xFF) << 16 | (static_cast<uint32_t>(y * 5) & 0xFF) << 8 |
           (static_cast<uint32_t>(x ^ y) & 0xFF);
}
uint16_t To565(uint32_t c) {
    return static_cast<uint16_t>(((c >> 19) & 0x1F) << 11 | ((c >> 10) & 0x3F) << 5 | ((c >> 3) & 0x1F));
}

constexpr uint32_t kKey32 = 0x00FF00FF;
constexpr uint16_t kKey16 = 0xF81F;
constexpr uint8_t kKeyIndex = 0;

struct Images {
    BenchImage dst32{kWidth, kHeight, 1, 0, 0};
    BenchImage dst16{kWidth, kHeight, 0, 0, 0};
    BenchImage src32{kWidth, kHeight, 1, 0, 0};
    BenchImage src32a{kWidth, kHeight, 1, 0, 1};
    BenchImage src16{kWidth, kHeight, 0, 0, 0};
    BenchImage src16a{kWidth, kHeight, 0, 0, 1};
    BenchImage pal32{kWidth, kHeight, 1, 1, 0};
    BenchImage pal16{kWidth, kHeight, 0, 1, 0};
    BenchImage blend{kWidth, kHeight, 2, 0, 0};
    std::vector<uint8_t> memcpySource = std::vector<uint8_t>(kPixels * 4, 0x5A);
    std::vector<uint8_t> memcpyDest = std::vector<uint8_t>(kPixels * 4, 0);
    uint32_t palette[256];

    Images() {
        for (int i = 0; i < 256; ++i) palette[i] = static_cast<uint32_t>(i * 0x010307) & 0xFFFFFF;
        palette[kKeyIndex] = kKey32;
        for (int i = 0; i < 256; ++i) {
            pal32.image.paletteData[i] = palette[i];
            reinterpret_cast<uint16_t*>(pal16.image.paletteData)[i] = To565(palette[i]);
        }
        pal32.image.paletteCount = pal16.image.paletteCount = 256;
        src32.image.colorKey = kKey32;
        src16.image.colorKey = kKey16;
        pal32.image.colorKey = pal16.image.colorKey = kKeyIndex;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const bool keyed = KeyedAt(x, y);
                const uint32_t c = keyed ? kKey32 : ColourAt(x, y);
                const uint16_t c16 = keyed ? kKey16 : To565(c);
                const uint32_t a = AlphaAt(x, y);
                std::memcpy(src32.At(x, y), &c, 4);
                const uint32_t ca = (ColourAt(x, y) & 0xFFFFFF) | a << 24;
                std::memcpy(src32a.At(x, y), &ca, 4);
                std::memcpy(src16.At(x, y), &c16, 2);
                const uint32_t c16a = To565(ColourAt(x, y)) | a << 16;
                std::memcpy(src16a.At(x, y), &c16a, 4);
                const uint8_t index = keyed ? kKeyIndex : static_cast<uint8_t>(1 + (x + y * 3) % 255);
                *pal32.At(x, y) = index;
                *pal16.At(x, y) = index;
                *blend.At(x, y) = static_cast<uint8_t>(x + y);
                const uint32_t d = ColourAt(y, x);
                std::memcpy(dst32.At(x, y), &d, 4);
                const uint16_t d16 = To565(d);
                std::memcpy(dst16.At(x, y), &d16, 2);
            }
        }
    }
};

Images& GetImages() {
    static Images images;
    return images;
}

void PrepareState(int mode, int param, uint32_t bright, int useMmx) {
    static bool tablesBuilt = false;
    if (!tablesBuilt) {
        BuildBlendTables();
        BuildBlendWeightMap(128, 255);
        tablesBuilt = true;
    }
    DrawState& s = GetDrawState();
    s.drawArea = RECT{0, 0, kWidth, kHeight};
    s.blendMode = mode;
    s.blendParam = param;
    s.bright = bright;
    UseMmx = useMmx;
}

// --- ours ----------------------------------------------------------------------------------

struct BlitCase {
    std::string name;  // "ours/<bits>/<what>"
    std::string peer;  // the SDL2 benchmark it is compared with, or ""
    int bits;
    const char* source;  // "direct", "alpha", "paletted"
    int mode, param;
    uint32_t bright;
    int transFlag;
    bool blend;
    int useMmx;
};

void RunOurBlit(benchmark::State& st, BlitCase c) {
    Images& im = GetImages();
    const bool wide = c.bits == 32;
    MEMIMG* dst = wide ? &im.dst32.image : &im.dst16.image;
    const std::string source = c.source;
    const MEMIMG* src = source == "paletted" ? (wide ? &im.pal32.image : &im.pal16.image)
                        : source == "alpha"  ? (wide ? &im.src32a.image : &im.src16a.image)
                                             : (wide ? &im.src32.image : &im.src16.image);
    PrepareState(c.mode, c.param, c.bright, c.useMmx);
    for (auto _ : st) {
        BlitMemImg(dst, src, 0, 0, c.transFlag, c.blend ? &im.blend.image : nullptr, GetDrawState());
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * kPixels);
}

struct FillCase {
    std::string name;
    std::string peer;
    int bits;
    int mode, param;
};

void RunOurFill(benchmark::State& st, FillCase c) {
    Images& im = GetImages();
    MEMIMG* dst = c.bits == 32 ? &im.dst32.image : &im.dst16.image;
    PrepareState(c.mode, c.param, 0xFFFFFF, 1);
    const uint32_t colour = c.bits == 32 ? 0x00406080u : 0x4210u;
    for (auto _ : st) {
        FillMemImgRect(dst, nullptr, colour, GetDrawState());
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * kPixels);
}

// --- the physical limit and SDL2 ------------------------------------------------------------

void RunMemcpy(benchmark::State& st, int bytesPerPixel) {
    Images& im = GetImages();
    const size_t bytes = static_cast<size_t>(kPixels) * bytesPerPixel;
    for (auto _ : st) {
        std::memcpy(im.memcpyDest.data(), im.memcpySource.data(), bytes);
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * kPixels);
}

plat::ReferenceImage Reference(BenchImage& image, plat::ReferencePixelLayout layout,
                               const uint32_t* palette = nullptr) {
    return plat::ReferenceImage{image.buffer.data(), image.image.width, image.image.height,
                                image.image.pitch, layout, palette};
}

struct SdlCase {
    std::string name;
    int bits;
    const char* source;  // "direct", "alpha", "paletted"
    plat::ReferenceBlend blend;
    uint8_t alphaMod;
};

void RunSdlBlit(benchmark::State& st, SdlCase c) {
    using plat::ReferencePixelLayout;
    Images& im = GetImages();
    const bool wide = c.bits == 32;
    const std::string source = c.source;
    plat::ReferenceImage dest = wide ? Reference(im.dst32, ReferencePixelLayout::Xrgb8888)
                                     : Reference(im.dst16, ReferencePixelLayout::Rgb565);
    plat::ReferenceImage src;
    uint32_t key = wide ? kKey32 : kKey16;
    if (source == "paletted") {
        src = Reference(im.pal32, ReferencePixelLayout::Index8, im.palette);
        key = kKeyIndex;
    } else if (source == "alpha") {
        src = Reference(im.src32a, ReferencePixelLayout::Argb8888);
    } else {
        src = wide ? Reference(im.src32, ReferencePixelLayout::Xrgb8888)
                   : Reference(im.src16, ReferencePixelLayout::Rgb565);
    }
    plat::ReferenceBlit* blit = plat::CreateReferenceBlit(src, dest, c.blend, key, c.alphaMod);
    if (blit == nullptr) {
        st.SkipWithError("SDL refused the surfaces");
        return;
    }
    for (auto _ : st) {
        plat::RunReferenceBlit(blit, 0, 0);
        benchmark::ClobberMemory();
    }
    plat::DestroyReferenceBlit(blit);
    st.SetItemsProcessed(st.iterations() * kPixels);
}

void RunSdlFill(benchmark::State& st, int bits) {
    Images& im = GetImages();
    const plat::ReferenceImage dest =
        bits == 32 ? Reference(im.dst32, plat::ReferencePixelLayout::Xrgb8888)
                   : Reference(im.dst16, plat::ReferencePixelLayout::Rgb565);
    for (auto _ : st) {
        plat::ReferenceFill(dest, bits == 32 ? 0x00406080u : 0x4210u);
        benchmark::ClobberMemory();
    }
    st.SetItemsProcessed(st.iterations() * kPixels);
}

// --- registration ---------------------------------------------------------------------------

std::vector<BlitCase> OurBlits() {
    std::vector<BlitCase> cases;
    const uint32_t white = 0xFFFFFF, dim = 0xC0A080;
    for (int bits : {32, 16}) {
        const std::string b = std::to_string(bits) + "/";
        const std::string sdl = "sdl/" + b;
        const bool mmxMatters = bits == 32;
        auto add = [&](const std::string& what, const std::string& peer, const char* source,
                       int mode, int param, uint32_t bright, int trans, bool blend, int mmx) {
            cases.push_back({"ours/" + b + what, peer.empty() ? "" : sdl + peer, bits, source,
                             mode, param, bright, trans, blend, mmx});
        };
        add("mode0 copy", "copy", "direct", 0, 255, white, 0, false, 0);
        add("mode0 key", "key", "direct", 0, 255, white, 1, false, 0);
        add("mode0 alpha source, TransFlag", "pixel alpha", "alpha", 0, 255, white, 1, false, 0);
        add("mode0 alpha source, copy", "alpha source copy", "alpha", 0, 255, white, 0, false, 0);
        add("mode0 bright", "", "direct", 0, 255, dim, 0, false, 0);
        add("mode0 blend image", "", "direct", 0, 255, white, 0, true, 0);
        add("mode1 p100", "alpha mod 100", "direct", 1, 100, white, 0, false, 0);
        add("mode1 p100 key", "alpha mod 100", "direct", 1, 100, white, 1, false, 0);
        add("mode1 p128", "alpha mod 128", "direct", 1, 128, white, 0, false, 0);
        if (mmxMatters) add("mode1 p128 mmx", "alpha mod 128", "direct", 1, 128, white, 0, false, 1);
        add("mode1 p100 alpha source", "pixel alpha", "alpha", 1, 100, white, 0, false, 0);
        add("mode1 p100 bright", "", "direct", 1, 100, dim, 0, false, 0);
        add("mode1 p100 blend image", "", "direct", 1, 100, white, 0, true, 0);
        add("mode2 p128", "add", "direct", 2, 128, white, 0, false, 0);
        add("mode2 p255", "add", "direct", 2, 255, white, 0, false, 0);
        if (mmxMatters) add("mode2 p255 mmx", "add", "direct", 2, 255, white, 0, false, 1);
        add("mode2 p128 alpha source", "add", "alpha", 2, 128, white, 0, false, 0);
        add("mode3 p128", "", "direct", 3, 128, white, 0, false, 0);
        add("mode3 p255", "", "direct", 3, 255, white, 0, false, 0);
        if (mmxMatters) add("mode3 p255 mmx", "", "direct", 3, 255, white, 0, false, 1);
        add("mode4", "mod", "direct", 4, 0, white, 0, false, 0);
        add("mode4 key", "mod", "direct", 4, 0, white, 1, false, 0);
        add("paletted mode0 copy", "paletted copy", "paletted", 0, 255, white, 0, false, 0);
        add("paletted mode0 key", "paletted key", "paletted", 0, 255, white, 1, false, 0);
        add("paletted mode1 p100", "paletted alpha mod 100", "paletted", 1, 100, white, 0, false, 0);
        add("paletted mode2 p255", "", "paletted", 2, 255, white, 0, false, 0);
        if (mmxMatters) add("paletted mode2 p255 mmx", "", "paletted", 2, 255, white, 0, false, 1);
        add("paletted mode4 bright", "", "paletted", 4, 0, dim, 0, false, 0);
    }
    return cases;
}

std::vector<SdlCase> SdlBlits() {
    using plat::ReferenceBlend;
    std::vector<SdlCase> cases;
    for (int bits : {32, 16}) {
        const std::string b = "sdl/" + std::to_string(bits) + "/";
        cases.push_back({b + "copy", bits, "direct", ReferenceBlend::Copy, 255});
        cases.push_back({b + "key", bits, "direct", ReferenceBlend::ColorKey, 255});
        cases.push_back({b + "pixel alpha", bits, "alpha", ReferenceBlend::PixelAlpha, 255});
        cases.push_back({b + "alpha source copy", bits, "alpha", ReferenceBlend::Copy, 255});
        cases.push_back({b + "alpha mod 100", bits, "direct", ReferenceBlend::AlphaMod, 100});
        cases.push_back({b + "alpha mod 128", bits, "direct", ReferenceBlend::AlphaMod, 128});
        cases.push_back({b + "add", bits, "direct", ReferenceBlend::Add, 255});
        cases.push_back({b + "mod", bits, "direct", ReferenceBlend::Modulate, 255});
        cases.push_back({b + "paletted copy", bits, "paletted", ReferenceBlend::Copy, 255});
        cases.push_back({b + "paletted key", bits, "paletted", ReferenceBlend::ColorKey, 255});
        cases.push_back({b + "paletted alpha mod 100", bits, "paletted", ReferenceBlend::AlphaMod, 100});
    }
    return cases;
}

std::vector<FillCase> OurFills() {
    std::vector<FillCase> cases;
    for (int bits : {32, 16}) {
        const std::string b = std::to_string(bits) + "/";
        cases.push_back({"ours/" + b + "fill mode0", "sdl/" + b + "fill", bits, 0, 255});
        cases.push_back({"ours/" + b + "fill mode1 p100", "", bits, 1, 100});
        cases.push_back({"ours/" + b + "fill mode2 p128", "", bits, 2, 128});
        cases.push_back({"ours/" + b + "fill mode3 p128", "", bits, 3, 128});
        cases.push_back({"ours/" + b + "fill mode4", "", bits, 4, 0});
    }
    return cases;
}

// Collects each benchmark's rate for the closing table.
class RateReporter : public benchmark::ConsoleReporter {
public:
    RateReporter() : ConsoleReporter(OO_None) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const auto it = run.counters.find("items_per_second");
            if (it != run.counters.end()) rates_[run.run_name.function_name] = it->second.value / 1e6;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Rate(const std::string& name) const {
        const auto it = rates_.find(name);
        return it == rates_.end() ? 0.0 : it->second;
    }

private:
    std::map<std::string, double> rates_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const double minTime = 0.2;
    benchmark::RegisterBenchmark("memcpy/32", RunMemcpy, 4)->MinTime(minTime);
    benchmark::RegisterBenchmark("memcpy/16", RunMemcpy, 2)->MinTime(minTime);
    for (const SdlCase& c : SdlBlits()) {
        benchmark::RegisterBenchmark(c.name.c_str(), RunSdlBlit, c)->MinTime(minTime);
    }
    benchmark::RegisterBenchmark("sdl/32/fill", RunSdlFill, 32)->MinTime(minTime);
    benchmark::RegisterBenchmark("sdl/16/fill", RunSdlFill, 16)->MinTime(minTime);
    const std::vector<BlitCase> blits = OurBlits();
    for (const BlitCase& c : blits) {
        benchmark::RegisterBenchmark(c.name.c_str(), RunOurBlit, c)->MinTime(minTime);
    }
    const std::vector<FillCase> fills = OurFills();
    for (const FillCase& c : fills) {
        benchmark::RegisterBenchmark(c.name.c_str(), RunOurFill, c)->MinTime(minTime);
    }

    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n%-44s %10s %10s %10s  %s\n", "ours (640x480)", "Mpix/s", "x memcpy", "x SDL2",
                "SDL2 peer");
    auto row = [&](const std::string& name, const std::string& peer, int bits) {
        const double ours = reporter.Rate(name);
        if (ours == 0.0) return;
        const double limit = reporter.Rate(bits == 32 ? "memcpy/32" : "memcpy/16");
        const double other = peer.empty() ? 0.0 : reporter.Rate(peer);
        char vsSdl[32] = "-";
        if (other > 0.0) std::snprintf(vsSdl, sizeof vsSdl, "%.2f", ours / other);
        std::printf("%-44s %10.1f %10.2f %10s  %s\n", name.c_str(), ours,
                    limit > 0.0 ? ours / limit : 0.0, vsSdl, peer.c_str());
    };
    for (const BlitCase& c : blits) row(c.name, c.peer, c.bits);
    for (const FillCase& c : fills) row(c.name, c.peer, c.bits);
    return 0;
}
