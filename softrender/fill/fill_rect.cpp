#include "softrender/fill/fill_rect.h"

#include <array>
#include <cstddef>
#include <cstring>

#include "softrender/records/kernel_draw_state.h"
#include "softrender/fill/fill_plan.h"
#include "softrender/rules/loop_table.h"
#include "softrender/rules/pixel_context.h"
#include "softrender/rules/pixel_rules_16.h"
#include "softrender/rules/pixel_rules_32.h"
#include "softrender/rules/simd_rows_32.h"
#include "softrender/rules/simd_rows_565.h"

namespace {

struct FillRun {
    uint8_t* dst;
    ptrdiff_t pitch;
    int32_t width;
    int32_t height;
    uint32_t color;
    PixelContext context;
};

using FillLoopFn = void (*)(const FillRun&);

// The copy: the first line pixel by pixel (two 16-bit pixels per 32-bit store), every other
// line a copy of the first.
inline void FillCopy(const FillRun& r, int bytes) {
    uint8_t* first = r.dst;
    if (bytes == 4) {
        for (int32_t i = 0; i < r.width; ++i) std::memcpy(first + i * 4, &r.color, 4);
    } else {
        const uint32_t pair = r.color | (r.color << 16);
        const uint16_t one = static_cast<uint16_t>(r.color);
        int32_t i = 0;
        for (; i + 2 <= r.width; i += 2) std::memcpy(first + i * 2, &pair, 4);
        if (i < r.width) std::memcpy(first + i * 2, &one, 2);
    }
    const size_t rowBytes = static_cast<size_t>(r.width) * bytes;
    uint8_t* row = first + r.pitch;
    for (int32_t j = 1; j < r.height; ++j, row += r.pitch) std::memcpy(row, first, rowBytes);
}

// The other modes: the colour takes the place of a source row, in runs of kRun pixels through
// the SSE2 steps where the rule has one.
constexpr int32_t kRun = 64;

template <PixelLoop L>
struct FillLoop {
    static void Run(const FillRun& r) {
        constexpr int kBytes = L.format == 1 ? 4 : 2;
        if constexpr (L.rule.op == PixelOp::CopyWhole) {
            FillCopy(r, kBytes);
        } else {
            alignas(16) uint8_t colourRun[kRun * 4];
            for (int32_t i = 0; i < kRun; ++i) std::memcpy(colourRun + i * kBytes, &r.color, kBytes);
            uint8_t* row = r.dst;
            for (int32_t j = 0; j < r.height; ++j, row += r.pitch) {
                int32_t i = 0;
                if constexpr (kSimdRow32<L>) {
                    while (i < r.width) {
                        const int32_t n = r.width - i < kRun ? r.width - i : kRun;
                        const int32_t done = SimdRow32<L>(row + i * 4, colourRun, nullptr, n, r.context);
                        i += done;
                        if (done < n) break;
                    }
                } else if constexpr (kSimdRow565<L>) {
                    while (i < r.width) {
                        const int32_t n = r.width - i < kRun ? r.width - i : kRun;
                        const int32_t done = SimdRow565<L>(row + i * 2, colourRun, nullptr, n, r.context);
                        i += done;
                        if (done < n) break;
                    }
                }
                for (; i < r.width; ++i) {
                    uint8_t* px = row + i * kBytes;
                    if constexpr (L.format == 1) {
                        uint32_t d;
                        std::memcpy(&d, px, 4);
                        d = ApplyRule32<L.rule>(d, r.color, 0, 0, r.context);
                        std::memcpy(px, &d, 4);
                    } else {
                        uint16_t d;
                        std::memcpy(&d, px, 2);
                        d = static_cast<uint16_t>(ApplyRule16<L.rule>(d, r.color, 0, 0, r.context));
                        std::memcpy(px, &d, 2);
                    }
                }
            }
        }
    }
};

constexpr std::array<FillLoopFn, kFillLoopCount> kFillLoops =
    MakeLoopTable<FillLoopFn, DescribeFillLoop, FillLoop, 0, kFillLoopCount>();

}  // namespace

void FillMemImgRect(MEMIMG* dst, const RECT* rect, uint32_t color, const KernelDrawState& state) {
    const FillPlan plan = PlanFillMemImgRect(dst, rect, color, state);
    if (plan.loop < 0) return;
    const int bytes = dst->pixelFormat == MEMIMG_FORMAT_32 ? 4 : 2;
    FillRun run;
    run.dst = dst->pixels + static_cast<ptrdiff_t>(plan.area.top) * dst->pitch +
              static_cast<ptrdiff_t>(plan.area.left) * bytes;
    run.pitch = dst->pitch;
    run.width = plan.area.right - plan.area.left;
    run.height = plan.area.bottom - plan.area.top;
    run.color = plan.color;
    // The fill's colour has its bright already; the rows of the parameter are all it reads.
    run.context = MakePixelContext(0xFFFFFFu, state.blendParam, 0);
    kFillLoops[plan.loop](run);
}
