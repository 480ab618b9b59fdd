// The stepping loops of the scaled blit: one loop per PixelLoop description (the scaled pixel
// loops of scaled_pixel_loops.h), instantiated into the blit's dispatch tables
// (scaled_blit_table_*.cpp).
//
// Each axis keeps an accumulator of what is left of the current source pixel's span in the
// destination (16.16); every destination pixel (row) consumes 0x10000. When it is used up the
// walk advances to the next source pixel (row), adding the step each time, while the advance
// condition holds: the accumulator is 0 or below in the general loops, below 0 in the strict
// loops (so that an accumulator of exactly 0 ends the advance).
//
// The columns are the same for every row, so the x stepping is done once per call into a table
// of source columns (in strips of kScaledColumnStrip destination pixels), and each row reads
// its source pixels through it. A source pixel is classified (colour key, alpha) once, when the
// row reaches it, and that class serves every destination pixel it covers; skipped source
// pixels take part in the stepping like drawn ones.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_draw.h"
#include "softrender/rules/pixel_loop.h"

// One call's walk over the clipped rectangle.
struct ScaledRun {
    uint8_t* dst;                  // destination pixel at the clipped top-left
    ptrdiff_t dstPitch;
    int32_t width, height;         // clipped size
    const uint8_t* src;            // source pixel read at the clipped top-left
    ptrdiff_t srcColumnStep;       // ± bytes per source pixel (minus when mirrored)
    ptrdiff_t srcRowStep;          // ± source pitch
    const uint8_t* blend;          // blend-image byte at the same source point, or null
    ptrdiff_t blendColumnStep;     // ± 1
    ptrdiff_t blendRowStep;        // ± blend pitch
    int64_t stepX, stepY;          // 16.16 destination pixels per source pixel
    int64_t accumulatorX;          // the x accumulator at the clipped left edge
    int64_t accumulatorY;          // the y accumulator at the clipped top edge
    int32_t* columns;              // kScaledColumnStrip entries of working storage
    PixelContext context;
};

using ScaledBlitFn = void (*)(const ScaledRun&);

// Destination pixels whose source columns are worked out at a time.
constexpr int32_t kScaledColumnStrip = 2048;

namespace scaled_blit_detail {

// Whether an advance goes on to the next source pixel after adding the step.
template <bool Strict>
inline bool KeepAdvancing(int64_t accumulator) {
    if constexpr (Strict) {
        return accumulator < 0;
    } else {
        return accumulator <= 0;
    }
}

// The accumulator's stepping for one destination pixel after the first: how many source
// pixels to advance.
template <bool Strict>
inline int32_t Advance(int64_t* accumulator, int64_t step) {
    *accumulator -= 0x10000;
    if (*accumulator > 0) return 0;
    int32_t n = 0;
    do {
        ++n;
        *accumulator += step;
    } while (KeepAdvancing<Strict>(*accumulator));
    return n;
}

// Source columns (counted from the first one read) of `count` destination pixels, continuing
// from the pixel before them (first: the strip starts the row).
template <bool Strict>
inline void StepColumns(int32_t* columns, int32_t count, bool first, int64_t* accumulator,
                        int32_t* column, int64_t step) {
    for (int32_t i = 0; i < count; ++i) {
        if (!first || i > 0) *column += Advance<Strict>(accumulator, step);
        columns[i] = *column;
    }
}

// One strip of one destination row from the source row at srcRow.
template <PixelLoop L>
inline void DrawStrip(uint8_t* d, const uint8_t* srcRow, const uint8_t* blendRow,
                      const int32_t* columns, int32_t count, const ScaledRun& r) {
    constexpr int kDstBytes = L.format == 1 ? 4 : 2;
    constexpr bool kWeighted = LoopUsesWeight(L);
    const PixelContext& c = r.context;
    if constexpr (L.accept == Acceptance::All) {
        for (int32_t i = 0; i < count; ++i) {
            const uint8_t* s = srcRow + columns[i] * r.srcColumnStep;
            const uint8_t b = kWeighted ? blendRow[columns[i] * r.blendColumnStep] : uint8_t{0};
            DrawClassifiedPixel<L>(PixelClass::Rule, d, s, b, c);
            d += kDstBytes;
        }
    } else {
        const uint8_t* classified = nullptr;
        PixelClass cls = PixelClass::Skip;
        for (int32_t i = 0; i < count; ++i) {
            const uint8_t* s = srcRow + columns[i] * r.srcColumnStep;
            if (s != classified) {
                cls = ClassifySourcePixel<L>(s, c);
                classified = s;
            }
            if (cls != PixelClass::Skip) {
                const uint8_t b = kWeighted ? blendRow[columns[i] * r.blendColumnStep] : uint8_t{0};
                DrawClassifiedPixel<L>(cls, d, s, b, c);
            }
            d += kDstBytes;
        }
    }
}

}  // namespace scaled_blit_detail

// The loop of one description.
template <PixelLoop L>
struct ScaledBlitLoop {
    static void Run(const ScaledRun& r) {
        using namespace scaled_blit_detail;
        constexpr int kDstBytes = L.format == 1 ? 4 : 2;
        constexpr bool kWeighted = LoopUsesWeight(L);
        // A row drawn from the same source row as the row above gives the same pixels when the
        // rule does not read the destination: the whole-pixel copy of every pixel.
        constexpr bool kRowRepeats = L.rule.op == PixelOp::CopyWhole && L.accept == Acceptance::All;
        int64_t accumulatorX = r.accumulatorX;
        int32_t column = 0;
        for (int32_t done = 0; done < r.width; done += kScaledColumnStrip) {
            const int32_t count =
                r.width - done < kScaledColumnStrip ? r.width - done : kScaledColumnStrip;
            StepColumns<L.strict>(r.columns, count, done == 0, &accumulatorX, &column, r.stepX);

            uint8_t* dstRow = r.dst + static_cast<ptrdiff_t>(done) * kDstBytes;
            const uint8_t* srcRow = r.src;
            const uint8_t* blendRow = r.blend;
            int64_t accumulatorY = r.accumulatorY;
            bool sameRow = false;
            for (int32_t j = 0;;) {
                if (kRowRepeats && sameRow) {
                    std::memcpy(dstRow, dstRow - r.dstPitch, static_cast<size_t>(count) * kDstBytes);
                } else {
                    DrawStrip<L>(dstRow, srcRow, blendRow, r.columns, count, r);
                }
                if (++j == r.height) break;
                dstRow += r.dstPitch;
                const int32_t rows = Advance<L.strict>(&accumulatorY, r.stepY);
                sameRow = rows == 0;
                srcRow += rows * r.srcRowStep;
                if constexpr (kWeighted) blendRow += rows * r.blendRowStep;
            }
        }
    }
};
