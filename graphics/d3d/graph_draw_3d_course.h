// The course every Direct3D graph draw runs: the device checks, the scene, the per-draw render
// state, the texture of each piece, the quads appended to the batch, and the end of the scene
// after each draw to the front screen. Also the clip of a quad's corners to the draw area,
// which moves the texture coordinates with them.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "graphics/d3d/device.h"
#include "graphics/d3d/texture_pieces.h"

struct GraphRecord;

// One corner of a quad: position, graph texture coordinates and blend-graph coordinates.
struct QuadVertex3D {
    float x, y;
    float u, v;
    float blendU, blendV;
};

// The device a draw goes to and the origin its positions get.
struct Draw3DCourse {
    Device3DRecord* device;
    int32_t index;
    float originX, originY;
};

// What OpenDraw3D found.
enum class Draw3DStart {
    kDraw,        // go on with the course
    kSuppressed,  // 3D drawing is suppressed: the draw answers 0
    kRefused,     // Direct3D is not up or the device slot is empty: -1
};

// The device checks; fills *course for kDraw.
Draw3DStart OpenDraw3D(Draw3DCourse* course);

// kApplyDepthSettings when the draw state's depth setting asks for it, else 0.
int32_t DepthApplyFlag();

// Begins the scene and applies the per-draw render state for the graph's first piece with the
// flags. -1 when the first piece does not resolve.
int BeginGraphDraw3D(const Draw3DCourse& course, const GraphRecord* graph, int32_t applyFlags);

// Makes the piece's texture the device's stage-0 texture and sends the stage states that
// changed. -1 when the piece has no texture.
int SelectPieceTexture3D(const Draw3DCourse& course, HandleValue piece);

// Appends the quad (corners top-left, top-right, bottom-left, bottom-right) as six vertices of
// the device's current kind with the diffuse colour.
void AppendQuad3D(const Draw3DCourse& course, const QuadVertex3D corners[4], uint32_t diffuse);

// Ends the scene when the device ends it after each draw (drawing to the front screen).
void FinishDraw3D();

// The clip of a quad's corners (a rectangle on the target, upright, mirrored or turned by a
// quarter) against a rectangle: a corner outside it moves onto its nearest edges, and its
// texture and blend-graph coordinates move with it by the quad's own map, so that the pixels
// left inside show what they showed before.
struct QuadClip3D {
    float left, top, right, bottom;
};
void ClipQuadCorners3D(QuadVertex3D corners[4], const QuadClip3D& clip);

// 0 when the integer rectangle lies entirely inside the draw area, 1 when it overlaps it, -1
// when it lies entirely outside.
int DrawAreaOverlap3D(const RECT& rect);

// A coordinate handed over as an int that carries a float's bits when intCoords is not 1.
float CoordinateOf(int32_t value, int32_t intCoords);
