// The draw state record: the one block every draw path reads before it draws. Where to draw
// (draw target and draw area), how to blend (mode and parameter, blend graph, brightness), the
// transparent colour, and the settings that shape graphs created from now on.
//
// Only the record and its accessor live here, beside the graph handle table, which reads the
// creation settings, in the graphics state block (graphics_state.h); graphics' own calls on it
// are graphics/draw_state/draw_state.h.
#pragma once
#include <cstdint>

#include "base/handle_value.h"
#include "softrender/records/blend_mode.h"
#include "softrender/records/kernel_draw_state.h"
#include "softrender/records/rect.h"

// Draw targets besides graphs.
constexpr HandleValue kDrawTargetFront = -4;
constexpr HandleValue kDrawTargetBack = -2;

// Blend modes: the kernels' modes kBlendNone .. kBlendMultiply (softrender/records/
// blend_mode.h), and beyond them modes only the 3D device draws (its blend table), which the
// software kernels refuse.
constexpr int32_t kBlendAddByAlpha3D = 5;         // adds the source weighted by its alpha
constexpr int32_t kBlendKeepDestination3D = 8;    // the destination stays as it is
constexpr int32_t kBlendInvertDestination3D = 9;  // the source times the destination's inverse

// Bright value that leaves colours unchanged.
constexpr uint32_t kBrightWhite = 0xFFFFFF;

// The draw area, blend mode, parameter and bright are the kernels' part (KernelDrawState),
// which a draw hands to the software kernels as it stands.
struct DrawState : KernelDrawState {
    HandleValue drawTarget;        // -4 front screen, -2 back screen, else a graph
    RECT frontScreenRect;          // client area on the desktop while the front is the target
    float drawAreaF[4];            // left, top, right, bottom as floats for vertex clipping
    int32_t targetWidth, targetHeight;
    int32_t depthEnable, depthWrite, depthFunction;   // Direct3D depth settings
    int32_t cullMode;                                 // Direct3D cull setting
    int32_t textureAddressMode;                       // Direct3D texture addressing
    float vertexDepth;                                // z of every Direct3D vertex
    int32_t textureFilter;                            // 0 point, 1 bilinear
    HandleValue blendGraph;        // -1 none
    int32_t blendGraphBorderParam;  // 0..255
    int32_t blendGraphBorderRange;  // 0..255
    // Mask settings, owned by the mask screens.
    int32_t maskRequested;
    int32_t maskInVideoMemory;
    int32_t maskActive;            // every draw path tests it
    // Creation settings of new graphs.
    int32_t colorDepthSetting;     // bits per pixel, 0 = choose
    int32_t use3D;                 // new graphs may become Direct3D textures
    int32_t newGraphsDrawValid;    // new graphs may be draw targets
    int32_t blankGraphAlpha;       // alpha channel of blank graphs
    int32_t alphaTest;             // copied into new graphs
    int32_t softImageSetting;      // new 2D graphs are held as software images
    uint32_t colorKey;             // transparent colour of new graphs, 0x00RRGGBB
    int32_t drawAreaEmpty;         // 1: the draw area has no width or height
};

// The global draw state (part of the graphics state block).
DrawState& GetDrawState();
