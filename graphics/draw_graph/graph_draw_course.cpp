#include "graphics/draw_graph/graph_draw_course.h"

#include "graphics/draw_graph/graph_draw_drivers.h"
#include "graphics/drivers/graph_companion_drivers.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/draw_target/draw_target_images.h"
#include "graphics/drivers/window_facts_driver.h"

namespace {

// A draw to the front of a screen drawn in software (which excludes an 8-bit display): the
// window shows the front image and must follow it.
bool DrawsOnSoftwareFront() {
    return GetDrawState().drawTarget == kDrawTargetFront && IsSoftwareScreenRoad();
}

}  // namespace

GraphDrawStart OpenGraphDraw(HandleValue handle, GraphRecord** graph) {
    const DrawState& draw = GetDrawState();
    if (draw.drawAreaEmpty) return GraphDrawStart::kNothingToDo;
    GraphRecord* record = GetGraphRecord(handle);
    if (record == nullptr) return GraphDrawStart::kRefused;
    if (draw.blendGraph != kNoHandle && CheckBlendGraphCovers(record) != 0) {
        return GraphDrawStart::kRefused;
    }
    WindowFactsSlot()->waitWhileInactive();
    *graph = record;
    return GraphDrawStart::kDraw;
}

int GraphDrawNeedsBracket(const GraphRecord* graph) {
    return NeedsSubtractEmulation(graph) || GetDrawState().maskActive || DrawsOnSoftwareFront()
               ? 1
               : 0;
}

void BeginGraphDrawBracket(const RECT& rect) {
    if (GetDrawState().maskActive) MaskBracketSlot()->beginMaskBracket(&rect);
    if (DrawsOnSoftwareFront()) ReadBackFrontScreen();
}

void EndGraphDrawBracket(const RECT& rect) {
    if (GetDrawState().maskActive) MaskBracketSlot()->endMaskBracket(&rect);
    if (DrawsOnSoftwareFront()) RepaintFrontRect(&rect);
}
