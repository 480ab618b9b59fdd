#include "system/inactive_window_redraw.h"

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/draw_state_record.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/graphs/graphics_state.h"
#include "graphics/screen/screen.h"
#include "graphics/screen_save/screen_save.h"
#include "system/window_data.h"

namespace {

// The saved picture: the graph that holds it (-1 when none is kept).
struct SavedScreenState {
    HandleValue graph = -1;
};

SavedScreenState& Saved() {
    static SavedScreenState state;
    return state;
}

// The draw state that the saving and the redraw change, kept to be put back.
struct KeptDrawState {
    HandleValue target;
    RECT area;
    int32_t blendMode, blendParam;
    uint32_t bright;
    int32_t sampleFilter;
    int32_t vsyncWait;
};

KeptDrawState KeepDrawState() {
    const DrawState& draw = GetDrawState();
    KeptDrawState kept{};
    kept.target = GetDrawTarget();
    GetDrawAreaRect(&kept.area);
    kept.blendMode = draw.blendMode;
    kept.blendParam = draw.blendParam;
    kept.bright = draw.bright;
    kept.sampleFilter = GetSampleFilter();
    kept.vsyncWait = GetVSyncWait();
    return kept;
}

void PutBackDrawState(const KeptDrawState& kept) {
    SetDrawTarget(kept.target);
    SetDrawAreaRect(kept.area.left, kept.area.top, kept.area.right, kept.area.bottom);
    SetBlendState(kept.blendMode, kept.blendParam);
    SetBrightPacked(kept.bright);
    SetSampleFilter(kept.sampleFilter);
    SetVSyncWait(kept.vsyncWait);
}

// Selects the screen target with the whole screen as draw area and plain drawing (no blend,
// no bright), so that a copy in or out of it is exact.
bool SelectWholeScreen(HandleValue target, int32_t width, int32_t height) {
    if (SetDrawTarget(target) != 0) return false;
    SetDrawAreaRect(0, 0, width, height);
    SetBlendState(kBlendNone, 255);
    SetBrightPacked(kBrightWhite);
    return true;
}

// A graph of the screen's size holding the current target's whole picture, or -1.
HandleValue CaptureWholeTarget(int32_t width, int32_t height) {
    const HandleValue graph = CreateBlankGraph(width, height, 1);
    if (graph == -1) return -1;
    if (CaptureScreenToGraph2D(0, 0, width, height, GetGraphRecord(graph)) != 0) {
        DeleteGraphHandle(graph, 0);
        return -1;
    }
    return graph;
}

bool CanUseScreen() {
    const WindowData& data = GetWindowData();
    return data.clock.started && data.library.ending != 1 && GetGraphicsState().graphicsUp &&
           data.window.handle != 0;
}

}  // namespace

HandleValue GetSavedScreenGraph() {
    SavedScreenState& saved = Saved();
    if (saved.graph != -1 && GetGraphRecord(saved.graph) == nullptr) saved.graph = -1;
    return saved.graph;
}

int ReleaseSavedScreen() {
    const HandleValue graph = GetSavedScreenGraph();
    if (graph != -1 && GetGraphicsState().graphicsUp) DeleteGraphHandle(graph, 0);
    Saved().graph = -1;
    return 0;
}

int SaveScreenForRedraw() {
    if (!CanUseScreen() || !GetWindowData().settings.windowed) return -1;
    if (GetSavedScreenGraph() != -1) return 0;
    WindowState& window = GetWindowData().window;
    const uint32_t redrawBefore = window.windowRedraw;
    // Drawing must not hold this call in the inactive wait.
    window.windowRedraw = 1;
    int32_t width = 0, height = 0;
    GetScreenDimensions(&width, &height);
    const KeptDrawState kept = KeepDrawState();
    // What the window shows: the back screen as last presented, or the front when the game
    // draws there.
    const HandleValue shown = kept.target == kDrawTargetFront ? kDrawTargetFront : kDrawTargetBack;
    HandleValue graph = -1;
    if (SelectWholeScreen(shown, width, height)) graph = CaptureWholeTarget(width, height);
    PutBackDrawState(kept);
    window.windowRedraw = redrawBefore;
    Saved().graph = graph;
    return graph != -1 ? 0 : -1;
}

int RedrawSavedScreen() {
    WindowData& data = GetWindowData();
    if (data.library.ending == 1) return 0;
    const HandleValue savedGraph = GetSavedScreenGraph();
    if (savedGraph == -1 || !CanUseScreen()) return -1;
    int32_t width = 0, height = 0;
    GetScreenDimensions(&width, &height);
    const GraphRecord* saved = GetGraphRecord(savedGraph);
    const bool screenSized = saved->width == width && saved->height == height;
    WindowState& window = data.window;
    const uint32_t redrawBefore = window.windowRedraw;
    window.windowRedraw = 1;

    const KeptDrawState kept = KeepDrawState();
    SetSampleFilter(1);
    SetVSyncWait(0);
    int result = -1;
    if (SelectWholeScreen(kDrawTargetBack, width, height)) {
        // The back screen holds the frame the game is drawing: kept aside and put back.
        const HandleValue backCopy = CaptureWholeTarget(width, height);
        if (backCopy != -1) {
            if (screenSized) {
                BlitGraphAt(0, 0, savedGraph, 0);
            } else {
                BlitGraphStretched(0, 0, width, height, savedGraph, 0);
            }
            PresentScreenWindowed();
            BlitGraphAt(0, 0, backCopy, 0);
            DeleteGraphHandle(backCopy, 0);
            result = 0;
        }
    }
    PutBackDrawState(kept);
    window.windowRedraw = redrawBefore;
    return result;
}
