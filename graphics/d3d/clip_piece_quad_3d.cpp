// The clip of a piece's quad to the draw area, its edges moved by the draw's edge offset and
// placed at the device's origin.
#include "graphics/d3d/graph_piece_quads_3d.h"
#include "graphics/graphs/draw_state_record.h"

void ClipPieceQuadToDrawArea3D(const Draw3DCourse& course, float edgeOffset,
                               QuadVertex3D corners[4]) {
    const DrawState& draw = GetDrawState();
    const QuadClip3D clip{draw.drawAreaF[0] + edgeOffset + course.originX,
                          draw.drawAreaF[1] + edgeOffset + course.originY,
                          draw.drawAreaF[2] + edgeOffset + course.originX,
                          draw.drawAreaF[3] + edgeOffset + course.originY};
    ClipQuadCorners3D(corners, clip);
}
