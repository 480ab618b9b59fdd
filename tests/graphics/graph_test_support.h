// Shared set-up of the graph and draw-state tests: a fresh graphics state with graph
// management up and no back-end modules, and a few back-end stand-ins.
#pragma once
#include <gtest/gtest.h>

#include "graphics/graph_handle_table.h"
#include "graphics/graph_system.h"
#include "graphics/graphics_hooks.h"
#include "graphics/graphics_state.h"

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
        InitGraphSystem();
    }
    void TearDown() override {
        ResetAll();
    }

    // Deletes what the previous test left, then clears the block and the hooks.
    static void ResetAll() {
        ResetGraphicsHooks();
        GraphicsState& state = GetGraphicsState();
        state.graphicsUp = 1;
        TermGraphSystem();
        ClearGraphicsState();
        state.restoreCallback = nullptr;
        gSurfaceCalls = 0;
    }

    static void UseStubSurfaces() {
        GraphicsHooks& hooks = GetGraphicsHooks();
        hooks.createGraphSurface2D = StubCreateSurface;
        hooks.createGraphTextures = StubCreateSurface;
        hooks.deriveGraphSurface2D = StubDeriveSurface;
        hooks.deriveGraphTextures = StubDeriveSurface;
    }

    static GraphHandleTable& Table() { return GetGraphicsState().graphs; }
};
