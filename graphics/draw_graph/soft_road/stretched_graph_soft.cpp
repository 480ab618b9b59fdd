#include "graphics/draw_graph/soft_road/stretched_graph_soft.h"

#include <utility>

#include "base/number_routines.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_graph/soft_road/blit_graph_2d.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/draw_target_images.h"
#include "softrender/records/memimg.h"
#include "softrender/scaled/blit_scaled.h"

namespace {

// The DirectDraw road: with the screen in DirectDraw surfaces the draw target begins software
// drawing (flushing the Direct3D batch first) with the 2D surface and the rectangles of
// GetStretchedSoftDrawRects; the kernel runs on the prepared software draw target and source
// with the corners as the caller gave them, and software drawing ends. A rectangle of the
// source's own size, not mirrored, is the unscaled graph draw at (x1, y1) (one BltFast when
// nothing modulates it). A rectangle wholly outside the draw area has nothing to draw and
// answers 0, as the software screen does; one without width or height, or a draw that the
// draw target cannot prepare, is refused.
int BlitStretchedOnDirectDrawScreen(const RECT& corners, const SoftSurfaceImage& source,
                                    int32_t transFlag, const MEMIMG* blendImage) {
    if (corners.right - corners.left == source.width &&
        corners.bottom - corners.top == source.height) {
        return BlitGraph2DCore(corners.left, corners.top, source.surface2D, transFlag);
    }
    RECT sourceRect, destRect;
    const int rects =
        GetStretchedSoftDrawRects(corners.left, corners.top, corners.right, corners.bottom,
                                  source.width, source.height, GetDrawState().drawArea,
                                  &sourceRect, &destRect);
    if (rects != 0) return rects > 0 ? 0 : -1;
    SoftDrawPlace place{};
    if (BeginDirectDrawSoftDraw(source.surface2D, &sourceRect, &destRect, &place) != 0) {
        return -1;
    }
    BlitMemImgScaled(place.destination, place.source, corners, transFlag, blendImage,
                     GetDrawState());
    EndSoftDraw();
    return 0;
}

// ceil(a / b) for a >= 0, b > 0.
int64_t CeilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }

int32_t Clamp(int64_t v, int64_t lo, int64_t hi) {
    return static_cast<int32_t>(v < lo ? lo : v > hi ? hi : v);
}

}  // namespace

int GetStretchedSoftDrawRects(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                              int32_t sourceWidth, int32_t sourceHeight, const RECT& drawArea,
                              RECT* sourceRect, RECT* destRect) {
    int64_t left = x1, right = x2, top = y1, bottom = y2;
    const bool mirrorX = left > right;
    const bool mirrorY = top > bottom;
    if (mirrorX) std::swap(left, right);
    if (mirrorY) std::swap(top, bottom);
    const int64_t width = right - left;
    const int64_t height = bottom - top;
    if (width == 0 || height == 0 || sourceWidth <= 0 || sourceHeight <= 0) return -1;
    const int64_t stepX = (width << 16) / sourceWidth;
    const int64_t stepY = (height << 16) / sourceHeight;
    if (stepX == 0 || stepY == 0) return -1;
    RECT clipped{static_cast<int32_t>(left), static_cast<int32_t>(top),
                 static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
    ClipRectInPlace(&clipped, &drawArea);
    if (clipped.left == clipped.right || clipped.top == clipped.bottom) return 1;
    // The kernel reads, for the destination pixel at distance d from the ordered rectangle's
    // left, source column floor(d * 65536 / stepX). The part runs from the column the first
    // clipped pixel reads to one past the column the last one reads, both reckoned from the
    // rectangle's own left: a clipped left edge inside a source pixel must not move the right.
    int64_t srcLeft = ((clipped.left - left) << 16) / stepX;
    int64_t srcTop = ((clipped.top - top) << 16) / stepY;
    int64_t srcRight = CeilDiv((clipped.right - left) << 16, stepX);
    int64_t srcBottom = CeilDiv((clipped.bottom - top) << 16, stepY);
    if (mirrorX) {
        const int64_t l = sourceWidth - srcRight;
        srcRight = sourceWidth - srcLeft;
        srcLeft = l;
    }
    if (mirrorY) {
        const int64_t t = sourceHeight - srcBottom;
        srcBottom = sourceHeight - srcTop;
        srcTop = t;
    }
    *sourceRect = RECT{Clamp(srcLeft, 0, sourceWidth), Clamp(srcTop, 0, sourceHeight),
                       Clamp(srcRight, 0, sourceWidth), Clamp(srcBottom, 0, sourceHeight)};
    *destRect = clipped;
    return 0;
}

int BlitGraphStretchedSoft(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           const GraphRecord* graph, int32_t transFlag, int32_t intCoords,
                           HandleValue surface2D) {
    if (!IsSoftDrawAvailable() || graph == nullptr) return -1;
    if (intCoords != 1) {
        x1 = FloatToInt(std::bit_cast<float>(x1));
        y1 = FloatToInt(std::bit_cast<float>(y1));
        x2 = FloatToInt(std::bit_cast<float>(x2));
        y2 = FloatToInt(std::bit_cast<float>(y2));
    }
    // The corners as the caller gave them: reversed ones mirror.
    const RECT corners{x1, y1, x2, y2};

    MEMIMG view;
    SoftSurfaceImage source;
    if (GetGraphSurfaceSoftImage(graph, surface2D, &view, &source) != 0) return -1;
    const MEMIMG* blendImage = GetBlendGraphMemImg();

    if (!IsSoftwareScreenRoad()) {
        return BlitStretchedOnDirectDrawScreen(corners, source, transFlag, blendImage);
    }
    MEMIMG* destination = GetSoftScreenDestination();
    if (source.image == nullptr || destination == nullptr) return -1;
    BlitMemImgScaled(destination, source.image, corners, transFlag, blendImage, GetDrawState());
    RECT box = corners;
    NormalizeRect(&box);
    ShowFrontDraw(&box);
    return 0;
}
