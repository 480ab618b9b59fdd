// Subtract blending on the Direct3D road, which cannot subtract: the destination is inverted
// (a white box drawn at subtract 255, which the device makes 1 - d), the graph is added
// weighted by its alpha and the parameter, and the destination is inverted again, leaving
// d - s * a in the rectangle.
#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/window_facts_driver.h"
#include "graphics/screen/screen.h"

namespace {

// Inverts the destination inside rect, then leaves the blend state at mode finalMode with the
// parameter found on entry; the bright comes back as it was.
int InvertDestination(const RECT* rect, int32_t finalMode) {
    DrawState& draw = GetDrawState();
    const uint32_t white = MakeScreenColor(255, 255, 255);
    const uint32_t bright = draw.bright;
    const int32_t param = draw.blendParam;
    if (bright != kBrightWhite) {
        draw.bright = kBrightWhite;
        Device3DSlot()->refreshDeviceColorState();
    }
    if (draw.blendMode != kBlendSubtract || draw.blendParam != 255) {
        WindowFactsSlot()->waitWhileInactive();
        draw.blendMode = kBlendSubtract;
        draw.blendParam = 255;
        Device3DSlot()->refreshDeviceColorState();
    }
    GraphDraw3DSlot()->fillBox3D(rect->left, rect->top, rect->right, rect->bottom, white);
    SetBrightPacked(bright);
    SetBlendState(finalMode, param);
    return 0;
}

}  // namespace

int BeginSubtractEmulation(const RECT* rect) { return InvertDestination(rect, kBlendAddByAlpha3D); }

int EndSubtractEmulation(const RECT* rect) { return InvertDestination(rect, kBlendSubtract); }
