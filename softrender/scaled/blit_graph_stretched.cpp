#include "softrender/scaled/blit_graph_stretched.h"

#include <cstring>
#include <utility>

#include "graphics/draw_state.h"
#include "graphics/memimg.h"
#include "graphics/surface_2d.h"
#include "graphics/surface_data.h"
#include "softrender/scaled/blit_scaled.h"
#include "softrender/rules/soft_draw_target.h"
#include "base/number_routines.h"

namespace {

// The DirectDraw road: with the screen in DirectDraw surfaces the draw first flushes the
// Direct3D batch (and ends the Direct3D scene once the screen has been opened); a rectangle of
// the source's own size, not mirrored, goes to the unscaled graph draw at (x1, y1); otherwise
// software drawing begins with the 2D surface and the rectangles of GetStretchedSoftDrawRects,
// the kernel runs on the prepared software draw target and source with the corners as the
// caller gave them, and software drawing ends. That road belongs to the screen, which has not
// connected it yet: until it does, such a draw is refused.
int BlitStretchedOnDirectDrawScreen(const RECT& /*corners*/, int32_t /*sourceWidth*/,
                                    int32_t /*sourceHeight*/, const GraphRecord* /*graph*/,
                                    const Surface2DRecord* /*surface2D*/, int32_t /*transFlag*/,
                                    const MEMIMG* /*blendImage*/) {
    return -1;
}

// The software image of a 2D surface: its surface data's image when the surface covers all of
// it, else a view of its rectangle in *view. Null when the rectangle does not lie inside.
const MEMIMG* SoftImageOfSurface(const Surface2DRecord& surface, SurfaceDataRecord& data,
                                 MEMIMG* view) {
    const MEMIMG& image = data.image;
    if (surface.width == data.width && surface.height == data.height) return &image;
    if (static_cast<int32_t>(surface.sourceX) + surface.width > image.width ||
        static_cast<int32_t>(surface.sourceY) + surface.height > image.height) {
        return nullptr;
    }
    std::memset(view, 0, sizeof(MEMIMG));
    InitMemImgView(view, &image, surface.sourceX, surface.sourceY, surface.width, surface.height);
    return view;
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
    if (clipped.left == clipped.right || clipped.top == clipped.bottom) return -1;
    int64_t srcLeft = clipped.left != left ? ((clipped.left - left) << 16) / stepX : 0;
    int64_t srcTop = clipped.top != top ? ((clipped.top - top) << 16) / stepY : 0;
    int64_t srcRight = srcLeft + CeilDiv(int64_t{clipped.right - clipped.left} << 16, stepX);
    int64_t srcBottom = srcTop + CeilDiv(int64_t{clipped.bottom - clipped.top} << 16, stepY);
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

    const Surface2DRecord* surface =
        GetSurface2D(surface2D == kNoHandle ? graph->surfaces[0] : surface2D);
    if (surface == nullptr) return -1;
    const int32_t sourceWidth = surface2D == kNoHandle ? graph->width : surface->width;
    const int32_t sourceHeight = surface2D == kNoHandle ? graph->height : surface->height;
    SurfaceDataRecord* data = GetSurfaceData(surface->surfaceData);
    if (data == nullptr) return -1;
    const MEMIMG* blendImage = GetBlendGraphMemImg();

    if (!IsSoftwareScreenRoad()) {
        return BlitStretchedOnDirectDrawScreen(corners, sourceWidth, sourceHeight, graph, surface,
                                               transFlag, blendImage);
    }
    MEMIMG view;
    const MEMIMG* source = SoftImageOfSurface(*surface, *data, &view);
    MEMIMG* destination = GetSoftScreenDestination();
    if (source == nullptr || destination == nullptr) return -1;
    BlitMemImgScaled(destination, source, corners, transFlag, blendImage);
    return 0;
}
