// Shared set-up of the Direct3D back-end tests: the library started headless through
// ApiInitLibrary, windowed at 640 x 480 on a display of the given depth, with the platform's
// Direct3D object offered (or not), and the back screen the draw target; graphs made from a
// plain colour; the calls of the device's call log picked by name.
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
#include "platform/testing/d3d_test_controls.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/headless_library_fixture.h"

class Device3DFixture : public HeadlessLibraryFixture {
protected:
    // Starts the library; the result of ApiInitLibrary.
    static int Start(bool direct3D, int32_t depth = 32) {
        if (PrepareWindowedStart(depth, direct3D) != 0) return -1;
        plat::FailNextThreadStarts(1);
        const int result = ApiInitLibrary();
        if (result == 0) ApiSetDrawTarget(kDrawTargetBack);
        return result;
    }

    // A graph of one colour (0x00RRGGBB); a texture graph while Direct3D draws.
    static HandleValue MakeGraph(int32_t width, int32_t height, uint32_t colour) {
        return MakeGeneratedGraph(width, height, [colour](int32_t, int32_t) { return colour; });
    }

    static std::vector<plat::D3DCall> CallsNamed(const std::vector<plat::D3DCall>& calls,
                                                 const char* op) {
        std::vector<plat::D3DCall> out;
        for (const plat::D3DCall& call : calls) {
            if (std::strcmp(call.op, op) == 0) out.push_back(call);
        }
        return out;
    }

    // Index of the first call at or after from with this op (and render state, when given).
    static int FindCall(const std::vector<plat::D3DCall>& calls, const char* op, int from = 0,
                        int64_t state = -1) {
        for (size_t i = static_cast<size_t>(from); i < calls.size(); ++i) {
            if (std::strcmp(calls[i].op, op) != 0) continue;
            if (state >= 0 && calls[i].a != static_cast<uint32_t>(state)) continue;
            return static_cast<int>(i);
        }
        return -1;
    }

    static uint32_t StageState(uint32_t stage, uint32_t state) {
        uint32_t value = 0;
        GetCurrentDevice3D()->GetTextureStageState(stage, state, &value);
        return value;
    }

    static uint32_t RenderState(uint32_t state) {
        uint32_t value = 0;
        GetCurrentDevice3D()->GetRenderState(state, &value);
        return value;
    }
};
