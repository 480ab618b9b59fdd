// Shared set-up of the surface-record tests: a fresh log, graph management up (which plugs in
// the surface records), a DirectDraw object of the surface layer with a 5-6-5 display, and at the
// end a check that every surface went back and no guard band was hit.
#pragma once
#include <gtest/gtest.h>

#include "graphics/drivers/direct_draw_object.h"
#include "graphics/graph_load/graph_system.h"
#include "graphics/graphs/graphics_state.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"
#include "graphics/surfaces/surface_formats.h"
#include "platform/ddraw/ddraw.h"
#include "platform/testing/ddraw_test_controls.h"
#include "tests/graphics/drivers/graphics_driver_reset.h"
#include "tests/support/log_test_fixture.h"

class SurfaceFixture : public LogFixture {
protected:
    void SetUp() override {
        LogFixture::SetUp();
        plat::ResetDDrawTestControls();
        ResetGraphicsState();
        ASSERT_EQ(plat::CreateDirectDraw(&dd_), plat::DD_OK);
        UseDisplay(16);
        SetDirectDrawObject(dd_);
        InitGraphSystem();
        liveSurfaces_ = plat::LiveSurfaceCount();
    }

    void TearDown() override {
        ResetGraphicsState();
        EXPECT_EQ(GetSurfaceDataTable().count, 0);
        SetDirectDrawObject(nullptr);
        dd_->Release();
        EXPECT_EQ(plat::LiveSurfaceCount(), liveSurfaces_);
        EXPECT_EQ(plat::SurfaceGuardViolations(), 0u);
        plat::ResetDDrawTestControls();
        LogFixture::TearDown();
    }

    // The display format: 16 (5-6-5) or 32 (X8R8G8B8).
    static void UseDisplay(int bits) {
        plat::PixelFormat f = {};
        f.size = sizeof f;
        f.flags = plat::DDPF_RGB;
        f.bitCount = static_cast<uint32_t>(bits);
        f.redMask = bits == 16 ? 0xF800 : 0xFF0000;
        f.greenMask = bits == 16 ? 0x07E0 : 0xFF00;
        f.blueMask = bits == 16 ? 0x001F : 0xFF;
        plat::OverrideDisplayFormat(&f);
    }

    // Deletes what a test left (graphs, surface records), then clears the block and the drivers.
    static void ResetGraphicsState() {
        GraphicsState& state = GetGraphicsState();
        state.graphicsUp = 1;
        TermGraphSystem();
        ClearSurfaceTables();
        ClearGraphicsState();
        state.restoreCallback = nullptr;
        ResetGraphicsDrivers();
    }

    static SurfaceDataRecord* DataOf(HandleValue graph) {
        const GraphRecord* g = GetGraphRecord(graph);
        if (g == nullptr || g->surfaceCount < 1) return nullptr;
        const Surface2DRecord* view = GetSurface2D(g->surfaces[0]);
        return view != nullptr ? GetSurfaceData(view->surfaceData) : nullptr;
    }
    static HandleValue DataHandleOf(HandleValue graph) {
        const GraphRecord* g = GetGraphRecord(graph);
        const Surface2DRecord* view = g != nullptr ? GetSurface2D(g->surfaces[0]) : nullptr;
        return view != nullptr ? view->surfaceData : -1;
    }

    plat::DirectDraw* dd_ = nullptr;
    size_t liveSurfaces_ = 0;
};
