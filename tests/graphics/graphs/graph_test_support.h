// Shared set-up of the graph and draw-state tests: a fresh graphics state with graph
// management up, a stand-in screen that has not opened DirectDraw yet (neither software-only
// nor a DirectDraw object, so graphs get no surfaces of their own), and stand-ins for the other
// back ends that a test adjusts entry by entry (they start as the absent instances).
#pragma once
#include <gtest/gtest.h>

#include "graphics/graphs/graph_handle_table.h"
#include "graphics/graph_load/graph_system.h"
#include "tests/graphics/drivers/graphics_driver_reset.h"
#include "graphics/graphs/graphics_state.h"

// Surface stand-ins: record the graph they were asked for and succeed.
inline int gSurfaceCalls = 0;
inline int StubCreateSurface(GraphRecord* graph) {
    ++gSurfaceCalls;
    graph->surfaceCount = 1;
    return 0;
}
inline int StubDeriveSurface(GraphRecord* graph, int32_t, int32_t, int32_t, int32_t,
                             GraphRecord*) {
    ++gSurfaceCalls;
    graph->surfaceCount = 1;
    return 0;
}
inline int StubFailCreateSurface(GraphRecord*) { return -1; }
inline int StubFailDeriveSurface(GraphRecord*, int32_t, int32_t, int32_t, int32_t,
                                 GraphRecord*) {
    return -1;
}

class GraphStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAll();
        screen_ = kAbsentScreen;
        screen_.isNoDirectDraw = [] { return 0; };
        screen_.isScreenSoftwareDrawn = [] { return 0; };
        ScreenSlot().Install(screen_);
        device_ = kAbsentDevice3D;
        Device3DSlot().Install(device_);
        window_ = kAbsentWindowFacts;
        WindowFactsSlot().Install(window_);
        fonts_ = kAbsentFonts;
        FontSlot().Install(fonts_);
        movies_ = kAbsentMovies;
        MovieSlot().Install(movies_);
        InitGraphSystem();
    }
    void TearDown() override {
        ResetAll();
    }

    // Deletes what the previous test left, then clears the block and the drivers.
    static void ResetAll() {
        GraphicsState& state = GetGraphicsState();
        state.graphicsUp = 1;
        TermGraphSystem();
        ResetGraphicsDrivers();
        ClearGraphicsState();
        state.restoreCallback = nullptr;
        gSurfaceCalls = 0;
    }

    static void UseStubSurfaces() {
        stubSurfaces_ = kAbsentGraphSurfaces;
        stubSurfaces_.create = StubCreateSurface;
        stubSurfaces_.derive = StubDeriveSurface;
        Surface2DSlot().Install(stubSurfaces_);
        TextureSlot().Install(stubSurfaces_);
    }

public:
    // The stand-ins in use; a test changes an entry and the next call sees it.
    static inline ScreenDriver screen_ = {};
    static inline Device3DDriver device_ = {};
    static inline WindowFactsDriver window_ = {};
    static inline FontDriver fonts_ = {};
    static inline MovieDriver movies_ = {};
    static inline GraphSurfaceDriver stubSurfaces_ = {};

    static GraphHandleTable& Table() { return GetGraphicsState().graphs; }
};
