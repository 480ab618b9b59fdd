// Screen readback by BltFast: each piece's share of the rectangle is blitted from the draw
// target's surface straight into the piece's texture (drivers that blit between the screen and
// textures; both must have the same pixel format).
#include "base/log.h"
#include "graphics/d3d/screen_readback.h"
#include "platform/ddraw/ddraw.h"

int G_D3D_GetDrawScreenGraphFunction1(int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                                      const GraphRecord* graph, int32_t screenSizeFlag) {
    ScreenReadbackArea area;
    if (OpenScreenReadbackArea(x1, y1, x2, y2, graph, screenSizeFlag, &area) != 0 ||
        area.surface == nullptr) {
        return -1;
    }
    return ForEachReadbackPiece(area, graph, [&](const ScreenReadbackPiece& piece) {
        const plat::Rect from{piece.fromScreen.left, piece.fromScreen.top, piece.fromScreen.right,
                              piece.fromScreen.bottom};
        const plat::DDResult hr = piece.texture->BltFast(piece.toX, piece.toY, area.surface,
                                                         &from, plat::DDBLTFAST_WAIT);
        if (hr != plat::DD_OK) {
            return LogFormat("Error G_D3D_GetDrawScreenGraphFunction1  BltFast ReturnValue:%d", hr);
        }
        return 0;
    });
}
