// Where the device draws: the render target for the draw target and the mask screen, the
// viewport, the clear of a texture graph target and the texture filter.
#include "base/log.h"
#include "graphics/d3d/device_internal.h"
#include "graphics/d3d/device.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/mask/mask_screen.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_host.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"

namespace {

int SendViewport(Device3DRecord* device, const RECT* rect, int32_t originX, int32_t originY) {
    if (rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top) return -1;
    plat::Viewport viewport;
    viewport.x = static_cast<uint32_t>(rect->left + originX);
    viewport.y = static_cast<uint32_t>(rect->top + originY);
    viewport.width = static_cast<uint32_t>(rect->right - rect->left);
    viewport.height = static_cast<uint32_t>(rect->bottom - rect->top);
    viewport.minZ = 0.0f;
    viewport.maxZ = 1.0f;
    FlushDeviceVertices(device);
    if (device->device->SetViewport(&viewport) != plat::D3D_OK) return -1;
    device->viewport = viewport;
    return 0;
}

// The surface data record behind a graph's first surface (texture piece or 2D record).
const SurfaceDataRecord* GraphSurfaceData(const GraphRecord* graph) {
    if (graph->flags.is3D) {
        const Surface3DData* piece = GetSurface3DData(graph->surfaces[0]);
        return piece != nullptr ? GetSurfaceData(piece->surfaceData) : nullptr;
    }
    const Surface2DRecord* view = GetSurface2D(graph->surfaces[0]);
    return view != nullptr ? GetSurfaceData(view->surfaceData) : nullptr;
}

}  // namespace

void ApplyFilterToStages(Device3DRecord* device, int32_t count) {
    if (device == nullptr || device->device == nullptr) return;
    const uint32_t mag = device->filter == 1 ? plat::D3DTFG_LINEAR : plat::D3DTFG_POINT;
    const uint32_t min = device->filter == 1 ? plat::D3DTFN_LINEAR : plat::D3DTFN_POINT;
    if (count < 1) count = 1;
    if (count > kTextureStageCount3D) count = kTextureStageCount3D;
    for (uint32_t stage = 0; stage < static_cast<uint32_t>(count); ++stage) {
        device->device->SetTextureStageState(stage, plat::D3DTSS_MAGFILTER, mag);
        device->device->SetTextureStageState(stage, plat::D3DTSS_MINFILTER, min);
    }
}

int SetTextureFilter(int32_t mode) {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    const int32_t filter = mode == 1 ? 1 : 0;
    if (!device->force && device->filter == filter) return 0;
    FlushDeviceVertices(device);
    device->filter = filter;
    ApplyFilterToStages(device, device->stageCount);
    return 0;
}

void GetDeviceDrawOrigin(int32_t* x, int32_t* y) {
    const DrawState& draw = GetDrawState();
    *x = draw.frontScreenRect.left;
    *y = draw.frontScreenRect.top;
    // A graph target is drawn where its pixels lie in its texture; while the mask is active
    // the device draws into the mask screen, which is addressed like the target itself.
    if (draw.drawTarget >= 0 && !draw.maskActive) {
        const DrawTargetSurface& target = GetDrawTargetSurface();
        *x += target.offsetX;
        *y += target.offsetY;
    }
}

int SetDeviceViewport(const RECT* rect) {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    int32_t originX = 0, originY = 0;
    GetDeviceDrawOrigin(&originX, &originY);
    return SendViewport(device, rect, originX, originY);
}

int SetDrawTarget3D(HandleValue target) {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    Device3DState& state = GetDevice3DState();

    plat::DrawSurface* surface = nullptr;
    int32_t endAfterEachDraw = 0;
    if (target == kDrawTargetFront) {
        surface = GetFrontSurface();
        endAfterEachDraw = 1;
    } else if (target == kDrawTargetBack) {
        surface = GetBackSurface();
    } else {
        const GraphRecord* graph = GetGraphRecord(target);
        if (graph == nullptr) return -1;
        // A graph cut into several textures cannot be one render target.
        if (graph->flags.is3D && graph->surfaces[1] != kNoHandle) return 0;
        const SurfaceDataRecord* record = GraphSurfaceData(graph);
        if (record == nullptr || record->surface == nullptr) return -1;
        plat::SurfaceCaps caps = {};
        record->surface->GetCaps(&caps);
        if ((caps.caps & plat::DDSCAPS_3DDEVICE) == 0) {
            if (!graph->flags.is3D) state.drawingSuppressed = 1;
            return -1;
        }
        surface = record->surface;
    }
    if (surface == nullptr) return -1;

    EndCurrentDeviceScene();
    SetDeviceTexture(state.currentDevice, nullptr);
    device->force = 0;
    const plat::DrawSurface* before = device->currentTarget;
    if (SetDeviceRenderTarget(surface) != 0) return -1;
    state.endSceneAfterEachDraw = endAfterEachDraw;
    state.drawingSuppressed = 0;
    // A new target takes the whole of it as viewport; the draw area is set again afterwards.
    if (before != surface) device->viewport = plat::Viewport{};
    return 0;
}

int SetMaskRenderTarget3D(int32_t maskOn) {
    Device3DRecord* device = CurrentDevice3DRecord();
    if (device == nullptr) return -1;
    FlushDeviceVertices(device);
    plat::DrawSurface* target = maskOn ? GetMaskSurface() : GetDrawTargetDDSurface();
    // Without a mask screen (or a target surface) the device keeps drawing where it does; a
    // target it refuses would send every draw to the wrong surface, so that is a failure.
    if (target != nullptr && SetDeviceRenderTarget(target) != 0) {
        LogWrite(maskOn ? "マスク用サーフェスを描画先にできませんでした\n"
                        : "描画先サーフェスを描画先に戻せませんでした\n");
        return -1;
    }
    const DrawState& draw = GetDrawState();
    if (maskOn && IsDrawingToPrimaryInWindow()) {
        GetDevice3DState().drawingSuppressed = 0;
        if (SendViewport(device, &draw.drawArea, 0, 0) != 0) {
            LogWrite("ビューポートのセットに失敗しました\n");
            return -1;
        }
        return 0;
    }
    SetDeviceViewport(&draw.drawArea);
    return 0;
}

int ClearDrawTarget3D() {
    if (CurrentDevice3DRecord() == nullptr) return -1;
    const GraphRecord* graph = GetGraphRecord(GetDrawState().drawTarget);
    if (graph == nullptr || !graph->flags.is3D) return 0;
    FlushCurrentDeviceVertices();
    for (int32_t i = 0; i < kGraphMaxSurfaces && graph->surfaces[i] != kNoHandle; ++i) {
        const Surface3DData* piece = GetSurface3DData(graph->surfaces[i]);
        const SurfaceDataRecord* record =
            piece != nullptr ? GetSurfaceData(piece->surfaceData) : nullptr;
        if (record == nullptr || record->surface == nullptr) continue;
        // Only the piece's own place in its texture: a derived graph shares its parent's
        // texture, and the rest of it is not this target's.
        const plat::Rect place{piece->textureX, piece->textureY,
                               piece->textureX + piece->width, piece->textureY + piece->height};
        if (record->zSurface != nullptr) {
            plat::BltFx fx = {};
            fx.fillDepth = 0xFFFF;
            record->zSurface->Blt(&place, nullptr, nullptr,
                                  plat::DDBLT_DEPTHFILL | plat::DDBLT_WAIT, &fx);
        }
        int32_t r = 0, g = 0, b = 0;
        GetScreenBackgroundColor(&r, &g, &b);
        const ColorFormat* format = nullptr;
        plat::PixelFormat pixelFormat = {};
        const PaletteColorFormat* color = GetTextureFormat(
            static_cast<int32_t>(record->formatNumber), &pixelFormat);
        if (color != nullptr) format = &color->format;
        plat::BltFx fx = {};
        fx.fillColor = format != nullptr ? ColorFormatRgbaToPixel(format, r, g, b, 255) : 0;
        record->surface->Blt(&place, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT,
                             &fx);
    }
    return 0;
}
