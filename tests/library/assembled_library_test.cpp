// The library as the program starts it, with nothing wired by hand: start-up plugs graphics'
// own modules in, so a graph loads from a file and a graph that is the draw target is drawn
// into through the software renderer, and shut-down leaves no tracked block behind.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/tracked_memory.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target_images.h"
#include "graphics/graphs/graph_handle_table.h"
#include "softrender/records/memimg.h"
#include "library/public/api.h"
#include "graphics/draw_graph/soft_road/stretched_graph_soft.h"
#include "system/window_facts.h"
#include "tests/support/bmp_file.h"
#include "tests/support/library_fixture.h"

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// A 24-bit BMP of width x height pixels, every one of the given colour.
void WriteBmp(const std::string& path, int32_t width, int32_t height, Rgb colour) {
    const uint32_t packed = uint32_t{colour.r} << 16 | uint32_t{colour.g} << 8 | colour.b;
    WriteBmp24File(path, width, height, [packed](int, int) { return packed; });
}

// Colours whose 8-bit channels stand exactly for 5-6-5 values (c5 << 3 | c5 >> 2 and
// c6 << 2 | c6 >> 4), so that any faithful conversion gives the same pixel.
constexpr Rgb kSource = {247, 162, 165};  // 5-6-5 (30, 40, 20)
constexpr Rgb kBackground = {82, 81, 33};  // 5-6-5 (10, 20, 4)
constexpr uint16_t Pixel565(uint32_t r, uint32_t g, uint32_t b) {
    return static_cast<uint16_t>(r << 11 | g << 5 | b);
}

class AssembledLibraryTest : public LibraryFixture {
protected:
    void SetUp() override {
        setenv("ZN_VIDEO", "headless", 1);
        LibraryFixture::SetUp();
    }

    std::string SourcePath() const { return (dir_.path() / "source.bmp").string(); }

    // The 16-bit pixel (x, y) of a graph's software image.
    static uint16_t PixelOf(HandleValue graph, int32_t x, int32_t y) {
        MEMIMG view = {};
        const MEMIMG* image = GetGraphSoftImage(GetGraphRecord(graph), &view, nullptr);
        EXPECT_NE(image, nullptr);
        if (image == nullptr || image->pixels == nullptr) return 0;
        const uint8_t* row = image->pixels + static_cast<size_t>(y) * image->pitch;
        return static_cast<uint16_t>(row[x * 2] | row[x * 2 + 1] << 8);
    }
};

TEST_F(AssembledLibraryTest, GraphLoadedFromAFileIsBlendedIntoAGraphTargetInSoftware) {
    const AllocState& memory = GetAllocState();
    const uint32_t blocksBefore = memory.count;
    const uint32_t bytesBefore = memory.totalSize;
    WriteBmp(SourcePath(), 4, 4, kSource);

    ASSERT_EQ(ApiInitLibrary(), 0);
    const int source = ApiLoadGraphFromPath(SourcePath().c_str(), 0);
    ASSERT_NE(source, -1);

    // A drawable 8 x 8 graph filled with the background colour becomes the draw target.
    SetNewGraphsDrawable(1);
    const HandleValue target = CreateBlankGraph(8, 8, 1);
    ASSERT_NE(target, -1);
    ASSERT_EQ(FillGraph(target, kBackground.r, kBackground.g, kBackground.b, 255), 0);
    ASSERT_EQ(ApiSetDrawTarget(target), 0);
    ASSERT_EQ(ApiSetBlendMode(kBlendAlpha, 128), 0);

    // The source drawn at (2, 2) in its own size: half of each channel from either side.
    ASSERT_EQ(BlitGraphStretchedSoft(2, 2, 6, 6, GetGraphRecord(source), 0, 1, kNoHandle), 0);

    const uint16_t background = Pixel565(10, 20, 4);
    const uint16_t blended = Pixel565((30 + 10) / 2, (40 + 20) / 2, (20 + 4) / 2);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
            EXPECT_EQ(PixelOf(target, x, y), inside ? blended : background)
                << "at (" << x << ", " << y << ")";
        }
    }
    // The source itself is untouched.
    EXPECT_EQ(PixelOf(source, 0, 0), Pixel565(30, 40, 20));

    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(memory.count, blocksBefore);
    EXPECT_EQ(memory.totalSize, bytesBefore);
}

TEST_F(AssembledLibraryTest, LoadingAGraphGivesAHandleAndAMissingFileIsLoggedAndRefused) {
    WriteBmp(SourcePath(), 3, 2, kSource);
    ASSERT_EQ(ApiInitLibrary(), 0);

    const int graph = ApiLoadGraphFromPath(SourcePath().c_str(), 0);
    ASSERT_NE(graph, -1);
    int width = 0, height = 0;
    ASSERT_EQ(ApiQueryGraphSize(graph, &width, &height), 0);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);

    const std::string missing = (dir_.path() / "missing.bmp").string();
    EXPECT_EQ(ApiLoadGraphFromPath(missing.c_str(), 0), -1);
    EXPECT_TRUE(LogHas("グラフィックファイル " + missing + " がありません"));
}

TEST_F(AssembledLibraryTest, ShutDownLeavesNoSoftwareDrawTargetImageBehind) {
    ASSERT_EQ(ApiInitLibrary(), 0);
    // While the library runs a software draw goes to the draw target's own image.
    SetNewGraphsDrawable(1);
    const HandleValue target = CreateBlankGraph(8, 8, 1);
    ASSERT_NE(target, -1);
    ASSERT_EQ(ApiSetDrawTarget(target), 0);
    MEMIMG view = {};
    const MEMIMG* image = GetGraphSoftImage(GetGraphRecord(target), &view, nullptr);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(GetSoftScreenDestination(), image);
    // After shut-down no image of the finished library is reachable for a draw.
    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(GetSoftScreenDestination(), nullptr);
    EXPECT_EQ(GetDrawTargetSoftImage(), nullptr);
}

}  // namespace

namespace {

TEST_F(AssembledLibraryTest, WindowSystemAnswersGraphicsWhileItRuns) {
    GetWindowData().settings.windowed = 1;
    ASSERT_EQ(ApiInitLibrary(), 0);
    const WindowFactsDriver& window = *WindowFactsSlot();
    EXPECT_EQ(&window, &kWindowSystemFacts);
    EXPECT_EQ(window.isWindowed(), 1);

    // The screen lies at the window's client area.
    RECT onDesktop = {};
    ASSERT_EQ(window.getScreenRectOnDesktop(&onDesktop), 0);
    const plat::Rect client = GetWindowData().window.clientRect;
    EXPECT_EQ(onDesktop.left, client.left);
    EXPECT_EQ(onDesktop.top, client.top);
    EXPECT_EQ(onDesktop.right - onDesktop.left, 640);
    EXPECT_EQ(onDesktop.bottom - onDesktop.top, 480);

    // The draw area is remembered as asked, before the clamp to the target.
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    SetDrawAreaRect(700, -5, 10, 20);
    const RECT asked = GetDrawAreaRequest();
    EXPECT_EQ(asked.left, 700);
    EXPECT_EQ(asked.top, -5);
    EXPECT_EQ(GetDrawState().drawArea.left, 10);
    EXPECT_EQ(GetDrawState().drawArea.right, 640);

    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_TRUE(WindowFactsSlot().IsAbsent());
}

}  // namespace
