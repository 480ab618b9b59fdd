// The Direct3D graph draws and the texture-cached string draw as the graph drawing family's
// Direct3D road; the back end installs them while Direct3D is up.
#include "graphics/d3d/graph_draw_3d.h"

const GraphDraw3DDriver kGraphDraws3D = {
    .blitGraph3D = BlitGraph3D,
    .blitGraphStretched3D = BlitGraphStretched3D,
    .blitGraphRotated3D = BlitGraphRotated3D,
    .blitGraphQuad3D = BlitGraphQuad3D,
    .fillBox3D = FillBox3D,
    .drawString3D = DrawStringWithFont3D,
};
