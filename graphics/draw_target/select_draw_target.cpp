// The binding of the current draw target to the surface or software image that holds it.
#include <cstring>

#include "base/log.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/drivers/texture_piece_access_driver.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_host.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"
#include "platform/ddraw/ddraw.h"

namespace {

DrawTargetSurface gTarget = {};
SoftDrawState gSoftDraw = {};
// The view of a software-image graph target that covers only a part of its surface data (a
// derived or divided graph): draws and clears then reach exactly its own rectangle.
MEMIMG gTargetView = {};

// On a windowed screen (or one that keeps the GDI surface in front, or has a menu) Blt onto
// the primary must stay inside the window: the clipper is attached to it while another
// target than the front is drawn.
bool PrimaryNeedsClipper(const ScreenState& s) {
    return ScreenIsWindowed() || s.flipToGdi || ScreenHostSlot()->hasWindowMenu();
}

void SetPrimaryClipper(ScreenState& s, bool attach) {
    if (s.primary == nullptr) return;
    if (attach) {
        if (s.clipper != nullptr) s.primary->SetClipper(s.clipper);
    } else {
        s.primary->SetClipper(nullptr);
    }
}

// The screen's part of a target change: the clipper on the primary, and the temporary
// primary with its copy timer while the front is the target.
void FollowTargetOnScreen(HandleValue target, HandleValue previous) {
    ScreenState& s = GetScreenState();
    const bool directDraw = s.directDraw != nullptr && !s.noDirectDraw;
    if (previous == kDrawTargetFront && s.useTempPrimary && s.tempPrimaryTimerOn) {
        StopTempPrimaryTimer();
        CopyTempPrimaryToPrimary();
    }
    if (!directDraw) return;
    if (target == kDrawTargetFront) {
        if (PrimaryNeedsClipper(s)) SetPrimaryClipper(s, false);
        if (s.useTempPrimary) {
            SetPrimaryClipper(s, true);
            CopyPrimaryToTempPrimary();
            StartTempPrimaryTimer();
        }
    } else if (PrimaryNeedsClipper(s)) {
        SetPrimaryClipper(s, true);
    }
}

// A graph that cannot be drawn into: the log says why and the selection fails.
int RefuseTarget(const char* why) {
    LogFormat("%s", why);
    return -1;
}

// A texture graph as the target: the 3D device draws into the texture of its one piece (the
// device's side of the change has made it the render target); the 2D side reaches the same
// texture surface at the piece's place in it. A graph cut into several textures cannot be one
// render target and is refused, so that no draw lands on the target before it.
int BindTextureTarget(const GraphRecord& graph, DrawTargetSurface* next) {
    if (graph.surfaces[1] != kNoHandle) {
        return RefuseTarget("複数のテクスチャに分かれたグラフィックは描画先にできません");
    }
    HandleValue surfaceData = kNoHandle;
    int32_t textureX = 0, textureY = 0;
    const SurfaceDataRecord* data =
        TexturePieceAccessSlot()->findPieceTexture(graph.surfaces[0], &surfaceData, &textureX,
                                                   &textureY) == 0
            ? GetSurfaceData(surfaceData)
            : nullptr;
    if (data == nullptr || data->surface == nullptr) {
        return RefuseTarget("グラフィックにテクスチャが無いため描画先にできません");
    }
    next->surface = data->surface;
    next->offsetX = textureX;
    next->offsetY = textureY;
    // The depth image stays as it was: the device keeps a texture target's depth itself.
    next->depthImage = gTarget.depthImage;
    return 0;
}

// A 2D graph as the target: its software image (or a view of its place in a shared one), or
// its surface at its place, with its depth image when it has one. -1 after the log line when
// it has no pixels of its own or its place lies outside its image.
int BindSurfaceTarget(const GraphRecord& graph, DrawTargetSurface* out) {
    DrawTargetSurface& next = *out;
    const Surface2DRecord* surface = GetSurface2D(graph.surfaces[0]);
    SurfaceDataRecord* data =
        surface != nullptr ? GetSurfaceData(surface->surfaceData) : nullptr;
    // A graph without pixels of its own (no 2D surface or surface data) has nothing to
    // draw into.
    if (data == nullptr) return RefuseTarget("グラフィックに画像が無いため描画先にできません");
    if (data->software) {
        if (surface->width == data->width && surface->height == data->height) {
            next.image = &data->image;
        } else if (MemImgHasPixels(&data->image) &&
                   surface->sourceX + surface->width <= data->image.width &&
                   surface->sourceY + surface->height <= data->image.height) {
            std::memset(&gTargetView, 0, sizeof gTargetView);
            InitMemImgView(&gTargetView, &data->image, surface->sourceX, surface->sourceY,
                           surface->width, surface->height);
            next.image = &gTargetView;
        } else {
            return RefuseTarget("グラフィックの領域が画像からはみ出しているため描画先にできません");
        }
    } else {
        next.surface = data->surface;
        next.offsetX = surface->sourceX;
        next.offsetY = surface->sourceY;
    }
    next.depthImage =
        data->zBufferPresent && MemImgHasPixels(&data->zImage) ? &data->zImage : nullptr;
    return 0;
}

// The target's place in memory, and the record made current.
void FinishTarget(DrawTargetSurface* next) {
    if (next->surface != nullptr) {
        plat::SurfaceCaps caps{};
        if (next->surface->GetCaps(&caps) == plat::DD_OK) {
            next->inVideoMemory = (caps.caps & plat::DDSCAPS_VIDEOMEMORY) != 0 ? 1 : 0;
        }
    }
    gTarget = *next;
}

}  // namespace

DrawTargetSurface& GetDrawTargetSurface() { return gTarget; }
SoftDrawState& GetSoftDrawState() { return gSoftDraw; }

plat::DrawSurface* GetDrawTargetDDSurface() { return GetDrawTargetSurface().surface; }

int IsDrawingToPrimaryInWindow() {
    const plat::DrawSurface* surface = GetDrawTargetSurface().surface;
    return ScreenIsWindowed() && surface != nullptr && surface == GetScreenState().primary ? 1 : 0;
}

int SelectDrawTargetSurface(HandleValue target, HandleValue previous) {
    const TargetScreen screen = ReadTargetScreen();
    DrawTargetSurface next{};
    if (target == kDrawTargetFront) {
        next.surface = screen.front;
        next.image = screen.frontImage;
    } else if (target == kDrawTargetBack) {
        next.surface = screen.back;
        next.image = screen.backImage;
        next.depthImage = screen.zImage;
    } else {
        const GraphRecord* graph = GetGraphRecord(target);
        if (graph == nullptr) return -1;
        const int bound = graph->flags.is3D ? BindTextureTarget(*graph, &next)
                                            : BindSurfaceTarget(*graph, &next);
        if (bound != 0) return -1;
    }
    FollowTargetOnScreen(target, previous);
    FinishTarget(&next);
    return 0;
}
