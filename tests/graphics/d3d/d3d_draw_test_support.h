// Shared set-up of the Direct3D draw tests: the library started headless through
// ApiInitLibrary, windowed at 640 x 480, with the platform's Direct3D object offered (or not),
// the back screen the draw target; graphs made from generated images; the back screen's
// colours read on either screen road; and the vertices waiting in the current device's batch.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/d3d/device.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "tests/support/back_screen_colours.h"
#include "graphics/surfaces/surface_data.h"
#include "platform/testing/d3d_test_controls.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/headless_library_fixture.h"

class Direct3DDrawFixture : public HeadlessLibraryFixture {
protected:
    // Starts the library on a display of the depth: with Direct3D offered it draws through the
    // device on DirectDraw surfaces, else on the software screen.
    static void Start(bool direct3D, int32_t depth = 32) {
        ASSERT_EQ(PrepareWindowedStart(depth, direct3D), 0);
        plat::FailNextThreadStarts(1);
        ASSERT_EQ(ApiInitLibrary(), 0);
        ASSERT_EQ(Direct3DIsUp(), direct3D ? 1 : 0);
        ASSERT_EQ(IsUsing3DDevice(), direct3D ? 1 : 0);
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    }
    static void Stop() {
        ASSERT_EQ(ApiTermLibrary(), 0);
        ResetScreenState();
    }

    // A graph of the size whose pixel (x, y) is colour(x, y) (0x00RRGGBB); a texture graph
    // while Direct3D draws.
    template <class Colour>
    static HandleValue MakeGraph(int32_t width, int32_t height, Colour colour) {
        return MakeGeneratedGraph(width, height, colour);
    }

    // The back screen's colours (0x00RRGGBB) of rect, row by row, on either road.
    static std::vector<uint32_t> BackColours(const RECT& rect) {
        return ReadBackScreenColours(rect);
    }

    // The one-texture vertices waiting in the current device's batch.
    static std::vector<TexVertex> WaitingTexVertices() {
        const Device3DRecord* device = CurrentDevice3DRecord();
        if (device == nullptr || device->batch.kind != 1) return {};
        return {device->batch.tex, device->batch.tex + device->batch.count};
    }

    // The texture width and height of a graph's first piece.
    static void FirstTextureSize(HandleValue graph, int32_t* width, int32_t* height) {
        const Surface3DData* piece = GetSurface3DData(GetGraphRecord(graph)->surfaces[0]);
        ASSERT_NE(piece, nullptr);
        const SurfaceDataRecord* data = GetSurfaceData(piece->surfaceData);
        *width = data->width;
        *height = data->height;
    }
};
