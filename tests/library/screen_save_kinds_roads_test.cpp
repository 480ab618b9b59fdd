// Screen saves of every kind on every road, after the shipped start-up: a rectangle of the
// back screen saved by ApiSaveScreenToImageFile as BMP, PNG and JPEG, clipped to the draw
// area, and a rectangle of a graph draw target, load back through ApiLoadGraphFromPath as
// graphs of the saved size that show the saved pixels (BMP and PNG exactly, JPEG closely); a
// rectangle wholly outside the draw area writes nothing and answers -1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/graphs/graph_handle_table.h"
#include "tests/graphics/graphs/generated_graph_test_support.h"
#include "tests/support/draw_road_table.h"

namespace {

constexpr int32_t kW = 128, kH = 96;

// Every channel 0 or 255, varied from pixel to pixel.
uint32_t Picture(int32_t x, int32_t y) {
    constexpr uint32_t kColours[6] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFFFFFF};
    return ((x / 2 + y / 3) % 7 == 0) ? 0 : kColours[(x + 3 * y) % 6];
}

struct SaveCase {
    const char* file;
    int type;    // 0 BMP, 1 JPEG, 2 PNG
    bool exact;  // lossless
};
const SaveCase kSaves[] = {{"shot.bmp", 0, true}, {"shot.png", 2, true}, {"shot.jpg", 1, false}};

class ScreenSaveKindsRoadsTest : public DrawRoadFixture {};

TEST_P(ScreenSaveKindsRoadsTest, SavedRectanglesLoadBackWithTheirPixels) {
    StartOnRoad(kW, kH);
    ASSERT_EQ(ApiSetDrawTarget(-2), 0);
    const HandleValue picture = MakeGeneratedGraph(kW, kH, Picture);
    ASSERT_EQ(BlitGraphAt(0, 0, picture, 0), 0);

    // The back screen: the rectangle (6, 4)-(38, 28), and one reaching past the draw area.
    for (const SaveCase& s : kSaves) {
        EXPECT_EQ(ApiSaveScreenToImageFile(6, 4, 38, 28, Path(s.file).c_str(), s.type, 95, 0, -1),
                  0)
            << s.file;
    }
    ASSERT_EQ(SetDrawAreaRect(0, 0, 50, 40), 0);
    EXPECT_EQ(ApiSaveScreenToImageFile(30, 30, 90, 90, Path("clipped.png").c_str(), 2, 0, 0, -1),
              0);
    EXPECT_EQ(ApiSaveScreenToImageFile(60, 50, 90, 90, Path("outside.png").c_str(), 2, 0, 0, -1),
              -1);
    EXPECT_FALSE(std::filesystem::exists(Path("outside.png")));
    ASSERT_EQ(SetDrawAreaRect(0, 0, kW, kH), 0);

    // A graph target: its rectangle (2, 1)-(14, 9), after a sprite drawn into it.
    ASSERT_EQ(SetNewGraphsDrawable(1), 0);
    const HandleValue target = CreateBlankGraph(24, 16, 0);
    ASSERT_EQ(SetNewGraphsDrawable(0), 0);
    ASSERT_GE(target, 0);
    ASSERT_EQ(ApiSetDrawTarget(target), 0);
    ASSERT_EQ(BlitGraphAt(-40, -20, picture, 0), 0);
    EXPECT_EQ(ApiSaveScreenToImageFile(2, 1, 14, 9, Path("graph.png").c_str(), 2, 0, 0, -1), 0);
    ASSERT_EQ(ApiSetDrawTarget(-2), 0);

    // Each file loads back as a graph of the saved size and, drawn, shows the saved pixels.
    ASSERT_EQ(ApiClearDrawTarget(), 0);
    struct Load {
        const char* file;
        int32_t w, h;
        int32_t srcX, srcY;  // the place in Picture the saved pixels came from
        bool exact;
    };
    const Load loads[] = {
        {"shot.bmp", 32, 24, 6, 4, true},   {"shot.png", 32, 24, 6, 4, true},
        {"shot.jpg", 32, 24, 6, 4, false},  {"clipped.png", 20, 10, 30, 30, true},
        {"graph.png", 12, 8, 42, 21, true},
    };
    for (const Load& l : loads) {
        SCOPED_TRACE(l.file);
        const int graph = ApiLoadGraphFromPath(Path(l.file).c_str(), 0);
        ASSERT_NE(graph, -1);
        int32_t w = 0, h = 0;
        EXPECT_EQ(ApiQueryGraphSize(graph, &w, &h), 0);
        EXPECT_EQ(w * 1000 + h, l.w * 1000 + l.h);
        ASSERT_EQ(ApiDrawGraphAt(0, 0, graph, 0), 0);
        ASSERT_EQ(ApiPresentScreen(), 0);
        const std::vector<uint32_t> shown = BackColours(RECT{0, 0, l.w, l.h});
        ASSERT_EQ(shown.size(), static_cast<size_t>(l.w * l.h));
        int wrong = 0;
        if (!l.exact) {
            // JPEG keeps each 8 x 8 block's mean colour (its colours are subsampled): within 24
            // of the saved block's mean in every channel.
            for (int32_t by = 0; by < l.h; by += 8) {
                for (int32_t bx = 0; bx < l.w; bx += 8) {
                    int32_t got[3] = {}, want[3] = {};
                    for (int32_t i = 0; i < 64; ++i) {
                        const int32_t x = bx + i % 8, y = by + i / 8;
                        const uint32_t g = shown[static_cast<size_t>(y * l.w + x)];
                        const uint32_t w = Picture(l.srcX + x, l.srcY + y);
                        for (int c = 0; c < 3; ++c) {
                            got[c] += static_cast<int32_t>((g >> (8 * c)) & 0xFF);
                            want[c] += static_cast<int32_t>((w >> (8 * c)) & 0xFF);
                        }
                    }
                    for (int c = 0; c < 3; ++c) {
                        if (std::abs(got[c] - want[c]) > 24 * 64 && ++wrong <= 5) {
                            ADD_FAILURE() << "block " << bx << "," << by << " channel " << c
                                          << ": mean " << got[c] / 64 << ", saved " << want[c] / 64;
                        }
                    }
                }
            }
        }
        for (int32_t y = 0; y < l.h && l.exact; ++y) {
            for (int32_t x = 0; x < l.w; ++x) {
                const uint32_t want = Picture(l.srcX + x, l.srcY + y);
                const uint32_t got = shown[static_cast<size_t>(y * l.w + x)];
                if (got != want && ++wrong <= 5) {
                    ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << got
                                  << " expected " << want;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

INSTANTIATE_ON_DRAW_ROADS(ScreenSaveKindsRoadsTest);

}  // namespace
