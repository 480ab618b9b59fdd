// What the screen readback methods share: the screen the rectangle is read from and its place
// on the draw target's surface, each texture piece's share of the rectangle, the colour format
// of a surface, and opaque alpha after a GDI copy.
#include <algorithm>

#include "graphics/d3d/screen_readback.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/drivers/screen_driver.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_data.h"
#include "platform/ddraw/ddraw.h"
#include "platform/gdi/gdi.h"

int OpenScreenReadbackArea(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                           const GraphRecord* graph, int32_t screenSizeFlag,
                           ScreenReadbackArea* out) {
    if (graph == nullptr) return -1;
    *out = ScreenReadbackArea{};
    out->rect = RECT{x1, y1, x2, y2};
    const DrawTargetSurface& target = GetDrawTargetSurface();
    out->surface = target.surface;

    // A window drawn straight onto the primary, asked for without the screen's size: the
    // rectangle is read in desktop coordinates, over the whole desktop.
    const HandleValue drawTarget = GetDrawTarget();
    if (screenSizeFlag == 0 && drawTarget == kDrawTargetFront && IsDrawingToPrimaryInWindow()) {
        out->screenWidth = plat::GetSystemMetrics(plat::SM_CXSCREEN);
        out->screenHeight = plat::GetSystemMetrics(plat::SM_CYSCREEN);
    } else {
        int32_t w = kDefaultScreenWidth, h = kDefaultScreenHeight;
        if (QueryGraphDimensions(drawTarget, &w, &h) != 0) return -1;
        out->screenWidth = w;
        out->screenHeight = h;
        out->originX = target.offsetX;
        out->originY = target.offsetY;
        if (drawTarget == kDrawTargetFront && IsDrawingToPrimaryInWindow()) {
            RECT onDesktop{};
            GetScreenRectOnDesktop(&onDesktop);
            out->originX += onDesktop.left;
            out->originY += onDesktop.top;
        }
    }
    if (out->surface != nullptr) {
        plat::SurfaceDesc desc{};
        if (out->surface->GetSurfaceDesc(&desc) == plat::DD_OK) {
            out->surfaceWidth = static_cast<int32_t>(desc.width);
            out->surfaceHeight = static_cast<int32_t>(desc.height);
        }
    }

    if (x1 < 0 || y1 < 0 || x1 >= x2 || y1 >= y2 || x1 >= out->screenWidth ||
        y1 >= out->screenHeight) {
        return -1;
    }
    if (int64_t{x2} - x1 > graph->width || int64_t{y2} - y1 > graph->height) return -1;
    return 0;
}

int ScreenReadbackPieceAt(const ScreenReadbackArea& area, const GraphRecord* graph,
                          int32_t index, ScreenReadbackPiece* out) {
    *out = ScreenReadbackPiece{};
    const Surface3DData* piece = GetSurface3DData(graph->surfaces[index]);
    if (piece == nullptr) return -1;
    out->surfaceDataHandle = piece->surfaceData;
    out->surfaceData = GetSurfaceData(piece->surfaceData);
    if (out->surfaceData == nullptr || out->surfaceData->surface == nullptr) return -1;
    out->texture = out->surfaceData->surface;

    // The piece's rectangle in graph coordinates, cut to the asked rectangle (whose top-left is
    // the graph's (0, 0)), to the screen, and to the surface the screen lies on.
    const RECT& r = area.rect;
    int32_t left = std::max<int32_t>(piece->x, 0);
    int32_t top = std::max<int32_t>(piece->y, 0);
    int32_t right = std::min<int32_t>(piece->x + piece->width, r.right - r.left);
    int32_t bottom = std::min<int32_t>(piece->y + piece->height, r.bottom - r.top);
    right = std::min(right, area.screenWidth - r.left);
    bottom = std::min(bottom, area.screenHeight - r.top);
    left = std::max(left, -(r.left + area.originX));
    top = std::max(top, -(r.top + area.originY));
    right = std::min(right, area.surfaceWidth - (r.left + area.originX));
    bottom = std::min(bottom, area.surfaceHeight - (r.top + area.originY));
    if (left >= right || top >= bottom) return 0;

    out->width = right - left;
    out->height = bottom - top;
    const int32_t sx = r.left + area.originX + left;
    const int32_t sy = r.top + area.originY + top;
    out->fromScreen = RECT{sx, sy, sx + out->width, sy + out->height};
    out->toX = piece->textureX + (left - piece->x);
    out->toY = piece->textureY + (top - piece->y);
    return 1;
}

int ReadbackSurfaceFormat(plat::DrawSurface* surface, PaletteColorFormat* out,
                          plat::PixelFormat* pixelFormat) {
    plat::SurfaceDesc desc{};
    if (surface == nullptr || surface->GetSurfaceDesc(&desc) != plat::DD_OK) return -1;
    const plat::PixelFormat& f = desc.pixelFormat;
    if (pixelFormat != nullptr) *pixelFormat = f;
    return BuildColorFormat(out, static_cast<int>(f.bitCount), f.redMask, f.greenMask,
                            f.blueMask, f.alphaMask) == 0
               ? 0
               : -1;
}

plat::DDResult MakeReadbackRectOpaque(plat::DrawSurface* texture, int32_t x, int32_t y,
                                      int32_t width, int32_t height) {
    plat::SurfaceDesc desc{};
    plat::DDResult hr = texture->GetSurfaceDesc(&desc);
    if (hr != plat::DD_OK || desc.pixelFormat.alphaMask == 0) return hr;
    hr = texture->Lock(nullptr, &desc, plat::DDLOCK_WAIT);
    if (hr != plat::DD_OK) return hr;
    const RECT rect{x, y, x + width, y + height};
    ForceOpaqueAlpha(&rect, &desc);
    texture->Unlock(nullptr);
    return plat::DD_OK;
}
