// Capturing a rectangle of the draw target into a graph of its size, on both screen roads: the
// graph's pixels come out as the screen's colours, and a rectangle of another size (or outside
// the target) changes nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graphics/graphs/graph_handle_table.h"
#include "graphics/screen_save/screen_save.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"
#include "tests/graphics/screen_save/screen_save_test_support.h"

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

// The graph's pixels as colours, row by row, whether it lives in a surface or an image.
std::vector<Rgb> GraphColours(HandleValue graph) {
    const GraphRecord* record = GetGraphRecord(graph);
    const Surface2DRecord* view = GetSurface2D(record->surfaces[0]);
    SurfaceDataRecord* data = GetSurfaceData(view->surfaceData);
    const uint8_t* pixels = nullptr;
    int32_t pitch = 0;
    const ColorFormat* format = nullptr;
    plat::SurfaceDesc desc{};
    if (data->software) {
        pixels = data->image.pixels;
        pitch = data->image.pitch;
        format = data->image.colorFormat;
    } else {
        EXPECT_EQ(data->surface->Lock(nullptr, &desc, plat::DDLOCK_WAIT), plat::DD_OK);
        pixels = static_cast<const uint8_t*>(desc.surface);
        pitch = desc.pitch;
        format = &GetSurfaceScreenFormat()->format;
    }
    std::vector<Rgb> out;
    for (int32_t y = 0; y < record->height; ++y) {
        for (int32_t x = 0; x < record->width; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, pixels + y * pitch + x * format->bytes, format->bytes);
            Rgb c{};
            int a = 0;
            ColorFormatPixelToRgba(format, v, &c.r, &c.g, &c.b, &a);
            out.push_back(c);
        }
    }
    if (!data->software) data->surface->Unlock(nullptr);
    return out;
}

TEST_F(ScreenSaveTest, CaptureCopiesTheRectangleIntoAGraphOfItsSize) {
    for (const ScreenRoad& road : kScreenRoads) {
        SCOPED_TRACE(road.name);
        Start(road);
        const ColorFormat* format = PaintBack(PatternValue);
        const HandleValue graph = CreateBlankGraph(16, 12, 1);
        ASSERT_GE(graph, 0);
        const GraphRecord* record = GetGraphRecord(graph);
        ASSERT_EQ(CaptureScreenToGraph2D(10, 20, 26, 32, record), 0);
        const std::vector<Rgb> got = GraphColours(graph);
        int mismatches = 0;
        for (int32_t y = 0; y < 12; ++y) {
            for (int32_t x = 0; x < 16; ++x) {
                Rgb want{};
                int a = 0;
                ColorFormatPixelToRgba(format, PatternValue(10 + x, 20 + y), &want.r, &want.g,
                                       &want.b, &a);
                mismatches += got[y * 16 + x] == want ? 0 : 1;
            }
        }
        EXPECT_EQ(mismatches, 0);

        // One pixel off in size, or reaching outside the target: refused, the graph as it was.
        const RECT refused[] = {
            {10, 20, 27, 32}, {10, 20, 26, 31}, {-1, 20, 15, 32}, {630, 470, 646, 482},
            {26, 20, 10, 32},
        };
        for (const RECT& r : refused) {
            SCOPED_TRACE(std::to_string(r.left) + "," + std::to_string(r.top));
            EXPECT_EQ(CaptureScreenToGraph2D(r.left, r.top, r.right, r.bottom, record), -1);
        }
        EXPECT_EQ(GraphColours(graph), got);
        EXPECT_EQ(CaptureScreenToGraph2D(0, 0, 16, 12, nullptr), -1);
        Stop();
    }
}

}  // namespace
