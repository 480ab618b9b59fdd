#include "graphics/graphs/graph_handle_table.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "graphics/codecs/graph_image.h"
#include "base/fatal_exit.h"
#include "base/file_access_table.h"
#include "library/fatal_error.h"
#include "tests/graphics/graphs/graph_test_support.h"

namespace {

using GraphHandleTableTest = GraphStateTest;

HandleValue NewGraph(int32_t width = 16, int32_t height = 8) {
    return AllocGraphRecord(width, height, 0, nullptr, 0, 0);
}

TEST_F(GraphHandleTableTest, FirstGraphTakesSlotZeroSerialZero) {
    GraphRecord* graph = nullptr;
    const HandleValue h = AllocGraphRecord(32, 24, 0, &graph, 0, 0);
    EXPECT_EQ(h, 0x08000000);
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(GetGraphRecord(h), graph);
    EXPECT_EQ(graph->handle, h);
    EXPECT_EQ(graph->width, 32);
    EXPECT_EQ(graph->height, 24);
    EXPECT_EQ(graph->movie, kNoHandle);
    EXPECT_EQ(graph->surfaceCount, 0);
    EXPECT_EQ(Table().count, 1);
    EXPECT_EQ(Table().areaEnd, 1);
}

TEST_F(GraphHandleTableTest, SerialWrapsToZeroAfter2047) {
    std::vector<HandleValue> handles;
    for (int i = 0; i < 2049; ++i) handles.push_back(NewGraph());
    EXPECT_EQ(static_cast<uint32_t>(handles[2047]), 0x0FFF0000u | 2047u);
    // The 2049th graph gets serial 0 again, in slot 2048.
    EXPECT_EQ(static_cast<uint32_t>(handles[2048]), 0x08000000u | 2048u);
    EXPECT_NE(GetGraphRecord(handles[2048]), nullptr);
    EXPECT_NE(GetGraphRecord(handles[0]), nullptr);
}

TEST_F(GraphHandleTableTest, StaleHandleOfAReusedSlotIsRefused) {
    const HandleValue old = NewGraph(10, 10);
    ASSERT_EQ(DeleteGraphHandle(old, 0), 0);
    const HandleValue fresh = NewGraph(20, 20);
    ASSERT_EQ(GetHandleSlot(fresh), GetHandleSlot(old));
    ASSERT_NE(fresh, old);

    EXPECT_EQ(GetGraphRecord(old), nullptr);
    EXPECT_EQ(DeleteGraphHandle(old, 0), -1);
    int32_t w = 0, h = 0;
    EXPECT_EQ(QueryGraphDimensions(old, &w, &h), -1);
    EXPECT_EQ(SetGraphSourceName(old, "a.bmp"), -1);
    // The new graph is untouched by the refused calls.
    ASSERT_EQ(QueryGraphDimensions(fresh, &w, &h), 0);
    EXPECT_EQ(w, 20);
    EXPECT_EQ(Table().count, 1);
}

TEST_F(GraphHandleTableTest, HandlesOfOtherKindsOrOutOfRangeAreRefused) {
    const HandleValue h = NewGraph();
    const uint32_t bits = static_cast<uint32_t>(h);
    const HandleValue refused[] = {
        -1,
        static_cast<HandleValue>((bits & ~kHandleKindMask) | (5u << 27)),   // 2D surface kind
        static_cast<HandleValue>((bits & ~kHandleKindMask) | (2u << 27)),   // sound kind
        static_cast<HandleValue>(bits & ~kHandleKindMask),                  // no kind
        static_cast<HandleValue>(bits | 0x80000000u),                       // negative
        static_cast<HandleValue>((bits & ~kHandleSlotMask) | 32768u),       // past the table
        static_cast<HandleValue>((bits & ~kHandleSlotMask) | 1u),           // empty slot
        0,                                                                  // a bare slot
    };
    for (HandleValue value : refused) {
        SCOPED_TRACE(value);
        EXPECT_EQ(GetGraphRecord(value), nullptr);
        EXPECT_EQ(DeleteGraphHandle(value, 0), -1);
    }
    EXPECT_EQ(Table().count, 1);
}

// Sequences of creations ("c") and deletions ("dN": the N-th graph created) and where the area
// end and the next new graph land.
struct AreaCase {
    const char* name;
    std::vector<std::string> ops;
    int32_t areaEnd;     // after the ops
    int32_t nextSlot;    // slot of one more creation
};

class AreaEndTest : public GraphStateTest, public ::testing::WithParamInterface<AreaCase> {};

TEST_P(AreaEndTest, AreaEndAndNextSlotFollowCreateAndDelete) {
    const AreaCase& c = GetParam();
    std::vector<HandleValue> created;
    for (const std::string& op : c.ops) {
        if (op == "c") {
            created.push_back(NewGraph());
        } else {
            ASSERT_EQ(DeleteGraphHandle(created.at(std::stoi(op.substr(1))), 0), 0);
        }
    }
    EXPECT_EQ(Table().areaEnd, c.areaEnd);
    EXPECT_EQ(GetHandleSlot(NewGraph()), c.nextSlot);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, AreaEndTest,
    ::testing::Values(
        AreaCase{"Empty", {}, 0, 0},
        AreaCase{"OnlyGraphDeleted", {"c", "d0"}, 0, 0},
        AreaCase{"MiddleFreedStillTakesAreaEnd", {"c", "c", "c", "d1"}, 3, 3},
        AreaCase{"LowestFreedStillTakesAreaEnd", {"c", "c", "c", "d0"}, 3, 3},
        AreaCase{"HighestFreed", {"c", "c", "c", "d2"}, 2, 2},
        AreaCase{"HighestFreedDropsPastFreeSlots", {"c", "c", "c", "c", "d1", "d2", "d3"}, 1, 1},
        AreaCase{"AllFreedHighestLast", {"c", "c", "c", "d0", "d1", "d2"}, 0, 0},
        AreaCase{"AllFreedHighestFirst", {"c", "c", "c", "d2", "d1", "d0"}, 0, 0},
        AreaCase{"RefillAfterDrop", {"c", "c", "c", "d1", "d2", "c"}, 2, 2}),
    [](const ::testing::TestParamInfo<AreaCase>& info) { return std::string(info.param.name); });

TEST_F(GraphHandleTableTest, FullAreaTakesLowestFreeSlotAndFullTableIsFatal) {
    std::vector<HandleValue> handles;
    handles.reserve(kMaxGraphHandles);
    for (int32_t i = 0; i < kMaxGraphHandles; ++i) handles.push_back(NewGraph(1, 1));
    ASSERT_EQ(Table().areaEnd, kMaxGraphHandles);
    ASSERT_EQ(Table().count, kMaxGraphHandles);

    // One graph too many ends the process through the library's fatal exit.
    static constexpr FatalExitDriver kLibraryExit = {
        .exit = [](const char* text) -> int { FatalError(text); },
    };
    FatalExitSlot().Install(kLibraryExit);
    EXPECT_EXIT(NewGraph(), ::testing::ExitedWithCode(255), "");
    FatalExitSlot().Reset();
    EXPECT_EQ(Table().count, kMaxGraphHandles);

    ASSERT_EQ(DeleteGraphHandle(handles[100], 0), 0);
    ASSERT_EQ(DeleteGraphHandle(handles[5], 0), 0);
    EXPECT_EQ(Table().areaEnd, kMaxGraphHandles);
    EXPECT_EQ(GetHandleSlot(NewGraph()), 5);
    EXPECT_EQ(GetHandleSlot(NewGraph()), 100);
}

struct FlagCase {
    const char* name;
    int32_t drawValidSetting, alphaTestSetting, depthSetting, softImageSetting;
    int direct3D, want3D, alphaArg;
    uint8_t palettedArg;
    GraphFlagBytes expected;  // is3D, alpha, drawValid, softImage, alphaTest, depth, raw, pal
};

class GraphFlagTest : public GraphStateTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(GraphFlagTest, CreationSettingsShapeTheFlags) {
    const FlagCase& c = GetParam();
    GraphicsState& state = GetGraphicsState();
    state.direct3DInUse = c.direct3D;
    state.draw.newGraphsDrawValid = c.drawValidSetting;
    state.draw.alphaTest = c.alphaTestSetting;
    state.draw.colorDepthSetting = c.depthSetting;
    state.draw.softImageSetting = c.softImageSetting;
    GraphRecord* graph = nullptr;
    ASSERT_GE(AllocGraphRecord(8, 8, c.want3D, &graph, c.alphaArg, c.palettedArg), 0);
    EXPECT_EQ(std::memcmp(&graph->flags, &c.expected, sizeof c.expected), 0)
        << "is3D " << int(graph->flags.is3D) << " alpha " << int(graph->flags.alpha)
        << " drawValid " << int(graph->flags.drawValid) << " soft "
        << int(graph->flags.softImage) << " alphaTest " << int(graph->flags.alphaTest)
        << " depth " << int(graph->flags.colorDepth) << " paletted "
        << int(graph->flags.paletted);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, GraphFlagTest,
    ::testing::Values(
        // 2D: depth from the display (16 without a screen), paletted and soft image copied.
        FlagCase{"Plain2D", 0, 1, 0, 0, 0, 0, 1, 1, {0, 1, 0, 0, 1, 16, 0, 1}},
        FlagCase{"SoftImage2D", 0, 0, 32, 1, 0, 0, 0, 0, {0, 0, 0, 1, 0, 32, 0, 0}},
        // 3D asked for but Direct3D is not in use: a 2D graph.
        FlagCase{"Want3DWithoutDevice", 0, 1, 0, 0, 0, 1, 0, 1, {0, 0, 0, 0, 1, 16, 0, 1}},
        // 3D: depth 32 for alpha, no soft image, never paletted.
        FlagCase{"Texture3DAlpha", 0, 1, 0, 1, 1, 1, 1, 1, {1, 1, 0, 0, 1, 32, 0, 0}},
        FlagCase{"Texture3DNoAlpha", 0, 1, 0, 0, 1, 1, 0, 0, {1, 0, 0, 0, 1, 16, 0, 0}},
        FlagCase{"Texture3DSetDepth", 0, 1, 16, 0, 1, 1, 1, 0, {1, 1, 0, 0, 1, 16, 0, 0}},
        // Draw-valid graphs drop alpha and alpha test.
        FlagCase{"DrawValid", 1, 1, 0, 0, 0, 0, 1, 0, {0, 0, 1, 0, 0, 16, 0, 0}}),
    [](const ::testing::TestParamInfo<FlagCase>& info) { return std::string(info.param.name); });

// Derived graphs: parent 100 x 80 whose own source position is (5, 7).
struct DeriveCase {
    const char* name;
    int32_t x, y, width, height;
    bool made;
    int32_t expectWidth, expectHeight;
};

class DeriveGraphTest : public GraphStateTest, public ::testing::WithParamInterface<DeriveCase> {
};

TEST_P(DeriveGraphTest, RectangleIsClippedToTheParentOrRefused) {
    const DeriveCase& c = GetParam();
    UseStubSurfaces();
    GraphRecord* parent = nullptr;
    const HandleValue parentHandle = AllocGraphRecord(100, 80, 0, &parent, 0, 0);
    parent->sourceX = 5;
    parent->sourceY = 7;

    const HandleValue h = DeriveGraph(c.x, c.y, c.width, c.height, parentHandle);
    if (!c.made) {
        EXPECT_EQ(h, -1);
        EXPECT_EQ(Table().count, 1);
        EXPECT_EQ(Table().areaEnd, 1);
        return;
    }
    const GraphRecord* graph = GetGraphRecord(h);
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->width, c.expectWidth);
    EXPECT_EQ(graph->height, c.expectHeight);
    EXPECT_EQ(graph->sourceX, 5 + c.x);
    EXPECT_EQ(graph->sourceY, 7 + c.y);
}

INSTANTIATE_TEST_SUITE_P(
    Rectangles, DeriveGraphTest,
    ::testing::Values(DeriveCase{"Inside", 10, 20, 30, 40, true, 30, 40},
                      DeriveCase{"Whole", 0, 0, 100, 80, true, 100, 80},
                      DeriveCase{"PastRightAndBottom", 90, 70, 30, 40, true, 10, 10},
                      DeriveCase{"LastPixel", 99, 79, 1, 1, true, 1, 1},
                      DeriveCase{"HugeSizeNoOverflow", 99, 79, INT_MAX, INT_MAX, true, 1, 1},
                      DeriveCase{"XAtWidth", 100, 0, 10, 10, false, 0, 0},
                      DeriveCase{"YAtHeight", 0, 80, 10, 10, false, 0, 0},
                      DeriveCase{"XPastWidth", 150, 0, 10, 10, false, 0, 0},
                      DeriveCase{"YPastHeight", 0, 200, 10, 10, false, 0, 0},
                      DeriveCase{"NegativeX", -1, 0, 10, 10, false, 0, 0},
                      DeriveCase{"NegativeY", 0, -5, 10, 10, false, 0, 0},
                      DeriveCase{"ZeroWidth", 0, 0, 0, 10, false, 0, 0},
                      DeriveCase{"NegativeHeight", 0, 0, 10, -3, false, 0, 0}),
    [](const ::testing::TestParamInfo<DeriveCase>& info) {
        return std::string(info.param.name);
    });

TEST_F(GraphHandleTableTest, DerivedGraphInheritsSourceAndOutlivesItsParent) {
    UseStubSurfaces();
    GraphRecord* parent = nullptr;
    const HandleValue parentHandle = AllocGraphRecord(64, 64, 0, &parent, 1, 0);
    ASSERT_EQ(SetGraphSourceName(parentHandle, "res\\ship.bmp"), 0);
    parent->movie = 0x18000003;
    parent->flags.softImage = 1;

    const HandleValue h = DeriveGraph(16, 16, 16, 16, parentHandle);
    const GraphRecord* graph = GetGraphRecord(h);
    ASSERT_NE(graph, nullptr);
    EXPECT_STREQ(graph->fileName, "res\\ship.bmp");
    EXPECT_EQ(graph->movie, 0x18000003);
    EXPECT_EQ(std::memcmp(&graph->flags, &parent->flags, sizeof graph->flags), 0);
    EXPECT_EQ(IsGraphReloadable(graph), 1);

    // A graph derived from a derived graph adds both positions.
    const HandleValue grandChild = DeriveGraph(4, 2, 4, 4, h);
    EXPECT_EQ(GetGraphRecord(grandChild)->sourceX, 20);
    EXPECT_EQ(GetGraphRecord(grandChild)->sourceY, 18);

    ASSERT_EQ(DeleteGraphHandle(parentHandle, 0), 0);
    EXPECT_NE(GetGraphRecord(h), nullptr);
}

TEST_F(GraphHandleTableTest, GraphWhoseSurfaceFailsLeavesItsSlot) {
    stubSurfaces_ = kAbsentGraphSurfaces;
    stubSurfaces_.create = StubFailCreateSurface;
    Surface2DSlot().Install(stubSurfaces_);
    EXPECT_EQ(AllocGraphWithSurface(32, 32, 0, 0, 0), -1);
    EXPECT_EQ(Table().count, 0);
    EXPECT_EQ(Table().areaEnd, 0);
    EXPECT_EQ(Table().slots[0], nullptr);

    // Without any surface module a graph cannot be made either.
    Surface2DSlot().Reset();
    TextureSlot().Reset();
    EXPECT_EQ(CreateBlankGraph(32, 32, 1), -1);
    EXPECT_EQ(Table().count, 0);

    UseStubSurfaces();
    const HandleValue h = CreateBlankGraph(32, 32, 1);
    ASSERT_GE(h, 0);
    EXPECT_EQ(GetGraphRecord(h)->surfaceCount, 1);
    EXPECT_EQ(gSurfaceCalls, 1);

    stubSurfaces_.derive = StubFailDeriveSurface;
    EXPECT_EQ(DeriveGraph(0, 0, 8, 8, h), -1);
    EXPECT_EQ(Table().count, 1);
    EXPECT_EQ(Table().areaEnd, 1);
}

TEST_F(GraphHandleTableTest, BlankGraphTakesAlphaFromItsSetting) {
    UseStubSurfaces();
    GetDrawState().blankGraphAlpha = 1;
    EXPECT_EQ(GetGraphRecord(CreateBlankGraph(4, 4, 1))->flags.alpha, 1);
    GetDrawState().blankGraphAlpha = 0;
    EXPECT_EQ(GetGraphRecord(CreateBlankGraph(4, 4, 1))->flags.alpha, 0);
}

// A current directory of 258 bytes, longer than the record's buffer.
int LongDirectory(char* buffer) {
    std::memset(buffer, 'd', 258);
    buffer[258] = '\0';
    return 258;
}

TEST_F(GraphHandleTableTest, LongSourceNamesAreCutAndMarkTheGraphNotReloadable) {
    const HandleValue h = NewGraph();
    GraphRecord* graph = GetGraphRecord(h);

    const std::string fits(63, 'a');
    ASSERT_EQ(SetGraphSourceName(h, fits.c_str()), 0);
    EXPECT_EQ(std::string(graph->fileName), fits);
    EXPECT_EQ(IsGraphReloadable(graph), 1);

    const std::string tooLong(64, 'b');
    ASSERT_EQ(SetGraphSourceName(h, tooLong.c_str()), 0);
    EXPECT_EQ(std::string(graph->fileName), std::string(63, 'b'));
    EXPECT_EQ(IsGraphReloadable(graph), 0);

    // A double-byte character that does not fit whole is left out whole.
    const std::string kanji = std::string(62, 'c') + "\x8A\xBF";
    ASSERT_EQ(SetGraphSourceName(h, kanji.c_str()), 0);
    EXPECT_EQ(std::string(graph->fileName), std::string(62, 'c'));
    EXPECT_EQ(IsGraphReloadable(graph), 0);

    // A later name that fits makes it reloadable again; no name never is.
    ASSERT_EQ(SetGraphSourceName(h, "a.png"), 0);
    EXPECT_EQ(IsGraphReloadable(graph), 1);
    ASSERT_EQ(SetGraphSourceName(h, nullptr), 0);
    EXPECT_STREQ(graph->fileName, "");
    EXPECT_EQ(IsGraphReloadable(graph), 0);

    // A directory too long for the record cuts it too.
    FileAccessTable files = GetFileAccessTable();
    files.getDir = LongDirectory;
    SetFileAccessTable(&files);
    const int result = SetGraphSourceName(h, "a.png");
    SetFileAccessTable(nullptr);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(std::strlen(graph->directory), 255u);
    EXPECT_EQ(IsGraphReloadable(graph), 0);
    // A graph derived from it inherits the mark.
    UseStubSurfaces();
    EXPECT_EQ(IsGraphReloadable(GetGraphRecord(DeriveGraph(0, 0, 1, 1, h))), 0);
}

TEST_F(GraphHandleTableTest, DeleteFlagIsClearedOnSetAndRaisedOnDelete) {
    const HandleValue h = NewGraph();
    int32_t deleted = 7;
    ASSERT_EQ(SetGraphDeleteFlagPtr(h, &deleted), 0);
    EXPECT_EQ(deleted, 0);
    ASSERT_EQ(DeleteGraphHandle(h, 1), 0);
    EXPECT_EQ(deleted, 1);
}

TEST_F(GraphHandleTableTest, ShutDownDeletesEveryGraph) {
    int32_t flags[4] = {};
    HandleValue handles[4];
    for (int i = 0; i < 4; ++i) {
        handles[i] = NewGraph();
        SetGraphDeleteFlagPtr(handles[i], &flags[i]);
    }
    DeleteGraphHandle(handles[1], 0);  // a hole below the area end
    ASSERT_EQ(TermGraphSystem(), 0);
    for (int32_t flag : flags) EXPECT_EQ(flag, 1);
    EXPECT_EQ(Table().count, 0);
    EXPECT_EQ(Table().areaEnd, 0);
    EXPECT_EQ(GetGraphicsState().graphicsUp, 0);
}

int gCallbackLostSeen = 0;
int gFontsRecreated = 0;
int CountLostGraphs() {
    gCallbackLostSeen = 0;
    const GraphHandleTable& table = GetGraphicsState().graphs;
    for (int32_t slot = 0; slot < table.areaEnd; ++slot) {
        if (table.slots[slot] != nullptr && table.slots[slot]->lost) ++gCallbackLostSeen;
    }
    return 0;
}
void CountFontRecreate() { ++gFontsRecreated; }
int gDefaultReloads = 0;
int DefaultReloader() {
    ++gDefaultReloads;
    return 0;
}

TEST_F(GraphHandleTableTest, LostSurfacesFlagEveryGraphThenRunTheCallbackAndFonts) {
    const HandleValue a = NewGraph();
    NewGraph();
    const HandleValue c = NewGraph();
    DeleteGraphHandle(a, 0);
    ASSERT_EQ(InstallGraphReloadHandler(CountLostGraphs), 0);
    EXPECT_EQ(HasGraphRestoreCallback(), 1);
    fonts_.recreateAllFonts = CountFontRecreate;
    gFontsRecreated = 0;

    ASSERT_EQ(FlagGraphsLostAndRestore(), 0);
    EXPECT_EQ(gCallbackLostSeen, 2);
    EXPECT_EQ(GetGraphRecord(c)->lost, 1);
    EXPECT_EQ(gFontsRecreated, 1);

    // Null installs the default reloader, which hands the restore to the loader module.
    static const GraphLoaderDriver loader = {.reloadAllGraphs = DefaultReloader};
    GraphLoaderSlot().Install(loader);
    InstallGraphReloadHandler(nullptr);
    ASSERT_NE(GetGraphicsState().restoreCallback, nullptr);
    gDefaultReloads = 0;
    EXPECT_EQ(GetGraphicsState().restoreCallback(), 0);
    EXPECT_EQ(gDefaultReloads, 1);
}

TEST_F(GraphHandleTableTest, RestartKeepsTheRestoreCallbackAndSetsDefaults) {
    InstallGraphReloadHandler(CountLostGraphs);
    NewGraph();
    TermGraphSystem();
    GetDrawState().blendMode = 3;
    ASSERT_EQ(InitGraphSystem(), 0);

    const GraphicsState& state = GetGraphicsState();
    EXPECT_EQ(state.restoreCallback, CountLostGraphs);
    EXPECT_EQ(state.graphicsUp, 1);
    EXPECT_EQ(state.graphs.count, 0);
    EXPECT_EQ(state.draw.blendMode, 0);
    EXPECT_EQ(state.draw.blendGraph, kNoHandle);
    EXPECT_EQ(state.draw.use3D, 1);
    EXPECT_EQ(state.draw.alphaTest, 1);
    EXPECT_EQ(state.draw.bright, 0xFFFFFFu);
    EXPECT_EQ(state.draw.depthFunction, 4);
    EXPECT_EQ(state.draw.textureAddressMode, 3);
    EXPECT_FLOAT_EQ(state.draw.vertexDepth, 0.2f);
    EXPECT_EQ(state.draw.drawTarget, kDrawTargetFront);
    EXPECT_EQ(state.draw.drawArea.right, 640);
    EXPECT_EQ(state.draw.drawArea.bottom, 480);
    EXPECT_EQ(state.draw.drawAreaEmpty, 0);

    // A second start-up while up changes nothing.
    GetDrawState().blendMode = 2;
    InitGraphSystem();
    EXPECT_EQ(GetDrawState().blendMode, 2);
}

}  // namespace

namespace {

struct ImageCase {
    const char* name;
    uint16_t bytes;
    uint8_t alphaWidth;
    bool alphaImage;
    uint8_t paletted, alpha;
};

class GraphForImageTest : public GraphStateTest, public ::testing::WithParamInterface<ImageCase> {
};

TEST_P(GraphForImageTest, ImageShapeDecidesPaletteAndAlpha) {
    const ImageCase& c = GetParam();
    UseStubSurfaces();
    GraphImage image = {};
    image.width = 12;
    image.height = 9;
    image.colorFormat.format.bytes = c.bytes;
    image.colorFormat.format.widthA = c.alphaWidth;
    GraphImage alpha = image;
    const HandleValue h = CreateGraphForImage(&image, c.alphaImage ? &alpha : nullptr, 0);
    const GraphRecord* graph = GetGraphRecord(h);
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->width, 12);
    EXPECT_EQ(graph->height, 9);
    EXPECT_EQ(graph->flags.paletted, c.paletted);
    EXPECT_EQ(graph->flags.alpha, c.alpha);
}

INSTANTIATE_TEST_SUITE_P(
    Images, GraphForImageTest,
    ::testing::Values(ImageCase{"Paletted", 1, 0, false, 1, 0},
                      ImageCase{"PalettedWithAlphaImage", 1, 0, true, 0, 1},
                      ImageCase{"Rgb24", 3, 0, false, 0, 0},
                      ImageCase{"Argb32", 4, 8, false, 0, 1},
                      ImageCase{"Rgb32WithAlphaImage", 4, 0, true, 0, 1}),
    [](const ::testing::TestParamInfo<ImageCase>& info) { return std::string(info.param.name); });

TEST_F(GraphHandleTableTest, AlphaImageOfAnotherSizeIsRefused) {
    UseStubSurfaces();
    GraphImage image = {};
    image.width = 12;
    image.height = 9;
    image.colorFormat.format.bytes = 4;
    GraphImage alpha = image;
    alpha.height = 8;
    EXPECT_EQ(CreateGraphForImage(&image, &alpha, 0), -1);
    EXPECT_EQ(Table().count, 0);
}

std::string gRestored;
int RecordRestore2D(GraphRecord* graph) {
    gRestored += "2d:" + std::to_string(graph->width) + " ";
    return 0;
}
void RecordMovieRestore(HandleValue movie) { gRestored += "movie:" + std::to_string(movie) + " "; }
int gScreenRestores = 0;
int RecordScreenRestore() {
    ++gScreenRestores;
    return 0;
}
int FillWithResult(GraphRecord*, int32_t r, int32_t, int32_t, int32_t) { return r == 1 ? 0 : -1; }

TEST_F(GraphHandleTableTest, RestoreAndFillReachTheGraphsSurfaces) {
    stubSurfaces_ = kAbsentGraphSurfaces;
    stubSurfaces_.restore = RecordRestore2D;
    Surface2DSlot().Install(stubSurfaces_);
    movies_.restoreMovieSurfaces = RecordMovieRestore;
    screen_.restoreScreenSurfaces = RecordScreenRestore;
    gRestored.clear();
    gScreenRestores = 0;

    const HandleValue a = NewGraph(1, 1);
    GraphRecord* b = nullptr;
    AllocGraphRecord(2, 2, 0, &b, 0, 0);
    b->movie = 0x18000000;
    const HandleValue c = NewGraph(3, 3);
    DeleteGraphHandle(a, 0);

    ASSERT_EQ(RestoreLostGraphSurfaces(), 0);
    EXPECT_EQ(gScreenRestores, 1);
    EXPECT_EQ(gRestored, "2d:2 movie:" + std::to_string(0x18000000) + " 2d:3 ");
    EXPECT_EQ(RestoreGraphSurfaces(a), -1);

    EXPECT_EQ(FillGraph(c, 1, 2, 3, 4), -1);  // no surface module
    stubSurfaces_.fill = FillWithResult;
    EXPECT_EQ(FillGraph(c, 1, 2, 3, 4), 0);
    EXPECT_EQ(FillGraph(c, 9, 2, 3, 4), -1);
    EXPECT_EQ(FillGraph(a, 1, 2, 3, 4), -1);
}

}  // namespace
