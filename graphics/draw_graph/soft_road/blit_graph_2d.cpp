#include "graphics/draw_graph/soft_road/blit_graph_2d.h"

#include <bit>

#include "base/number_routines.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/draw_target_internal.h"
#include "graphics/draw_target/target_screen.h"
#include "graphics/draw_target/draw_target_images.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"
#include "platform/ddraw/ddraw.h"
#include "softrender/unscaled/blit_unscaled.h"

int BlitGraph2DCore(int32_t x, int32_t y, HandleValue surface2D, int32_t transFlag) {
    if (!TargetScreenUp()) return -1;
    const Surface2DRecord* record = GetSurface2D(surface2D);
    if (record == nullptr) return -1;
    SurfaceDataRecord* data = GetSurfaceData(record->surfaceData);
    if (data == nullptr) return -1;
    const MEMIMG* blendImage = GetBlendGraphMemImg();

    if (ReadTargetScreen().softwareScreen) {
        const MEMIMG* source = &data->image;
        MEMIMG view;
        if (record->width != data->width || record->height != data->height) {
            if (!MemImgHasPixels(&data->image) ||
                record->sourceX + record->width > data->image.width ||
                record->sourceY + record->height > data->image.height) {
                return -1;
            }
            InitMemImgView(&view, &data->image, record->sourceX, record->sourceY, record->width,
                           record->height);
            source = &view;
        }
        MEMIMG* destination = GetSoftScreenDestination();
        if (destination == nullptr || !MemImgHasPixels(destination) || !MemImgHasPixels(source)) {
            return -1;
        }
        BlitMemImg(destination, source, x, y, transFlag, blendImage, GetDrawState());
        const RECT box{x, y, x + record->width, y + record->height};
        ShowFrontDraw(&box);
        return 0;
    }

    Device3DSlot()->endCurrentDeviceScene();
    RECT dest{x, y, x + record->width, y + record->height};
    ClipRectInPlace(&dest, &GetDrawState().drawArea);
    if (dest.left == dest.right || dest.top == dest.bottom) return 0;
    const RECT sourceRect{dest.left - x, dest.top - y, dest.right - x, dest.bottom - y};
    if (BeginSoftDraw(record, 1, &sourceRect, &dest, 0, nullptr, nullptr) != 0) return -1;

    const SoftDrawState& sd = GetSoftDrawState();
    if (sd.useBltFast) {
        // The wait flag: a surface still busy with an earlier blit is waited for, so that the
        // sprite is not silently dropped.
        const plat::Rect from = ToPlatRect(sd.sourceRect);
        const uint32_t flags =
            (transFlag ? plat::DDBLTFAST_SRCCOLORKEY : plat::DDBLTFAST_NOCOLORKEY) |
            plat::DDBLTFAST_WAIT;
        return sd.destSurface->BltFast(sd.destRect.left, sd.destRect.top, sd.sourceSurface, &from,
                                       flags) == plat::DD_OK
                   ? 0
                   : -1;
    }
    BlitMemImg(sd.destImage, sd.sourceImage, x, y, transFlag, blendImage, GetDrawState());
    EndSoftDraw();
    return 0;
}

int BlitGraph2D(int32_t x, int32_t y, const GraphRecord* graph, int32_t transFlag,
                int32_t intCoords) {
    if (graph == nullptr) return -1;
    Device3DSlot()->endCurrentDeviceScene();
    if (intCoords != 1) {
        x = FloatToInt(std::bit_cast<float>(x));
        y = FloatToInt(std::bit_cast<float>(y));
    }
    return BlitGraph2DCore(x, y, graph->surfaces[0], transFlag);
}
