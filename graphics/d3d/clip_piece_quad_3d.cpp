// The clip of a piece's quad to the draw area, with the steps of the texture and blend-graph
// coordinates per target pixel taken from the draw's scale.
#include "graphics/d3d/graph_piece_quads_3d.h"
#include "graphics/graphs/draw_state_record.h"

void ClipPieceQuadToDrawArea3D(const Draw3DCourse& course, const Surface3DData& piece,
                               float scaleX, float scaleY, float edgeOffset,
                               QuadVertex3D corners[4]) {
    const DrawState& draw = GetDrawState();
    float blendScaleU = 0.0f, blendScaleV = 0.0f;
    GetBlendGraphScales(&blendScaleU, &blendScaleV);
    int32_t textureW = 0, textureH = 0;
    PieceTextureSize(piece, &textureW, &textureH);
    const QuadClip3D clip{
        draw.drawAreaF[0] + edgeOffset + course.originX,
        draw.drawAreaF[1] + edgeOffset + course.originY,
        draw.drawAreaF[2] + edgeOffset + course.originX,
        draw.drawAreaF[3] + edgeOffset + course.originY,
        textureW > 0 ? 1.0f / (static_cast<float>(textureW) * scaleX) : 0.0f,
        textureH > 0 ? 1.0f / (static_cast<float>(textureH) * scaleY) : 0.0f,
        blendScaleU / scaleX,
        blendScaleV / scaleY};
    ClipQuadCorners3D(corners, clip);
}
