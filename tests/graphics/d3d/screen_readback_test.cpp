// Copying the draw screen into texture graphs: the method table is walked in its order until a
// method works, that method is remembered per kind of texture and tried first next time, a
// rectangle the graph cannot hold fails in every method, and each method brings the screen's
// pixels into the graph's textures.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "graphics/d3d/screen_readback.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/screen_save/screen_save.h"
#include "graphics/screen_setup/screen_setup.h"
#include "platform/testing/d3d_test_controls.h"
#include "tests/graphics/d3d/screen_readback_test_support.h"
#include "tests/graphics/screen_save/screen_save_test_support.h"

namespace {

using readback_test::Rgba;

// The methods by their number, as the table names them.
const ScreenReadbackMethod kMethodByNumber[6] = {
    nullptr,
    G_D3D_GetDrawScreenGraphFunction1,
    G_D3D_GetDrawScreenGraphFunction2,
    G_D3D_GetDrawScreenGraphFunction3,
    G_D3D_GetDrawScreenGraphFunction4,
    G_D3D_GetDrawScreenGraphFunction5,
};

// A table in the library's order whose entries note each call and its result, and either
// fail on the test's say-so or run the real method.
struct MethodCall {
    int number;
    int result;
    bool operator==(const MethodCall&) const = default;
};
std::vector<MethodCall> gCalls;
std::array<bool, 6> gForcedFailure{};

template <int Number>
int Recorded(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const GraphRecord* graph,
             int32_t flag) {
    const int result =
        gForcedFailure[Number] ? -1 : kMethodByNumber[Number](x1, y1, x2, y2, graph, flag);
    gCalls.push_back({Number, result});
    return result;
}
const ScreenReadbackMethod kRecordedTable[] = {Recorded<5>, Recorded<1>, Recorded<3>,
                                               Recorded<2>, Recorded<4>, nullptr};

std::vector<int> CalledNumbers() {
    std::vector<int> out;
    for (const MethodCall& call : gCalls) out.push_back(call.number);
    return out;
}

class ScreenReadbackTest : public ScreenSaveTest {
protected:
    void SetUp() override {
        ScreenSaveTest::SetUp();
        plat::ResetD3DTestControls();
        plat::OfferDirect3D(true);
        gCalls.clear();
        gForcedFailure.fill(false);
    }
    void TearDown() override {
        SetScreenReadbackTableForTests(nullptr);
        ScreenSaveTest::TearDown();
        plat::ResetD3DTestControls();
    }

    // The library started windowed at 640 x 480 on DirectDraw surfaces with Direct3D up, the
    // back screen the draw target holding the test pattern.
    static void Start3D(int32_t depth) {
        plat::SetHeadlessDesktop(1920, 1080, depth);
        ApiChangeWindowMode(1);
        ASSERT_EQ(ChangeScreenMode(640, 480, depth, 0, -1), 0);
        plat::FailNextThreadStarts(1);
        ASSERT_EQ(ApiInitLibrary(), 0);
        ASSERT_EQ(GetScreenState().softwareScreen, 0);
        ASSERT_EQ(Direct3DIsUp(), 1);
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
        PaintBack(PatternValue);
    }

    // A texture graph of the size: kPlain has neither alpha channel nor alpha test (its texture
    // has no alpha bits), kAlphaKeyed carries its colour key in an alpha-keyed format, kAlpha
    // has an alpha channel.
    enum Kind { kPlain, kAlphaKeyed, kAlpha };
    static HandleValue TextureGraph(int32_t width, int32_t height, Kind kind) {
        DrawState& draw = GetDrawState();
        const int32_t alphaTest = draw.alphaTest;
        draw.alphaTest = kind == kAlphaKeyed ? 1 : 0;
        const HandleValue graph = AllocGraphWithSurface(width, height, 1, kind == kAlpha, 0);
        draw.alphaTest = alphaTest;
        const GraphRecord* record = GetGraphRecord(graph);
        EXPECT_TRUE(record != nullptr && record->flags.is3D == 1);
        return graph;
    }

    // The back screen's colours in rect.
    static std::vector<Rgba> BackColours(const RECT& rect) {
        return readback_test::SurfaceColours(GetScreenState().back, rect);
    }

    // The texture behind the graph's first piece.
    static plat::DrawSurface* FirstTexture(HandleValue graph) {
        const Surface3DData* piece = GetSurface3DData(GetGraphRecord(graph)->surfaces[0]);
        return GetSurfaceData(piece->surfaceData)->surface;
    }

    // The number of pixels of the graph that differ from the screen's rect.
    static int GraphMismatches(HandleValue graph, const RECT& rect) {
        const int32_t w = rect.right - rect.left, h = rect.bottom - rect.top;
        return readback_test::Mismatches(
            readback_test::TextureGraphColours(graph, w, h), BackColours(rect),
            readback_test::ColourTolerance(GetScreenState().back, FirstTexture(graph)));
    }

    // Log lines that hold the text.
    int LinesNaming(const std::string& text) const {
        int n = 0;
        for (const std::string& line : LogLines()) n += line.find(text) != std::string::npos;
        return n;
    }
    // The index of the first log line that holds the text, or -1.
    int LineWith(const std::string& text) const {
        const std::vector<std::string> lines = LogLines();
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].find(text) != std::string::npos) return static_cast<int>(i);
        }
        return -1;
    }
};

TEST_F(ScreenReadbackTest, TheFirstCaptureWalksTheTableAndLaterOnesTryTheRememberedMethod) {
    Start3D(32);
    SetScreenReadbackTableForTests(kRecordedTable);
    const HandleValue plain = TextureGraph(48, 40, kPlain);
    const RECT rect{30, 20, 78, 60};

    gForcedFailure[5] = gForcedFailure[1] = true;
    ASSERT_EQ(CaptureScreenToGraph(30, 20, 78, 60, plain, 1), 0);
    EXPECT_EQ(CalledNumbers(), (std::vector<int>{5, 1, 3}));
    EXPECT_EQ(GetDevice3DState().readbackSlots[0], 2);
    EXPECT_EQ(GetDevice3DState().readbackSlots[1], -1);
    EXPECT_EQ(GraphMismatches(plain, rect), 0);

    gCalls.clear();
    ASSERT_EQ(CaptureScreenToGraph(30, 20, 78, 60, plain, 1), 0);
    EXPECT_EQ(CalledNumbers(), (std::vector<int>{3}));

    // Textures with alpha keep their own slot: their first capture walks from the start.
    const HandleValue withAlpha = TextureGraph(48, 40, kAlpha);
    gCalls.clear();
    ASSERT_EQ(CaptureScreenToGraph(30, 20, 78, 60, withAlpha, 1), 0);
    EXPECT_EQ(CalledNumbers(), (std::vector<int>{5, 1, 3}));
    EXPECT_EQ(GetDevice3DState().readbackSlots[1], 2);

    // The remembered method stops working: the walk starts again from the first.
    gForcedFailure[3] = true;
    gCalls.clear();
    ASSERT_EQ(CaptureScreenToGraph(30, 20, 78, 60, plain, 1), 0);
    EXPECT_EQ(CalledNumbers(), (std::vector<int>{3, 5, 1, 3, 2}));
    EXPECT_EQ(GetDevice3DState().readbackSlots[0], 3);
    EXPECT_EQ(GraphMismatches(plain, rect), 0);
    Stop();
}

TEST_F(ScreenReadbackTest, TheLibraryTableFallsThroughFailingMethodsInItsOrder) {
    Start3D(32);
    // An alpha texture: the screen surface's lock fails once (method 5), the blit refuses the
    // other pixel format (method 1), the GDI copy through a work texture works (method 3).
    const HandleValue graph = TextureGraph(64, 32, kAlpha);
    const RECT rect{100, 50, 164, 82};
    plat::FailNextSurfaceLocks(1);
    ASSERT_EQ(CaptureScreenToGraph(100, 50, 164, 82, graph, 1), 0);
    const int five = LineWith("Error  G_D3D_GetDrawScreenGraphFunction5 　作業用テクスチャサーフェスのロックに失敗しました  Lock  ReturnValue:");
    const int one = LineWith("Error G_D3D_GetDrawScreenGraphFunction1  BltFast ReturnValue:");
    ASSERT_GE(five, 0);
    EXPECT_GT(one, five);
    EXPECT_EQ(LinesNaming("G_D3D_GetDrawScreenGraphFunction3"), 0);
    EXPECT_EQ(GetDevice3DState().readbackSlots[1], 2);
    EXPECT_EQ(GraphMismatches(graph, rect), 0);

    // Next time method 3 runs at once: no method logs a failure.
    const size_t lines = LogLines().size();
    PaintBack([](int32_t x, int32_t y) { return PatternValue(y, x); });
    ASSERT_EQ(CaptureScreenToGraph(100, 50, 164, 82, graph, 1), 0);
    EXPECT_EQ(LogLines().size(), lines);
    EXPECT_EQ(GetDevice3DState().readbackSlots[1], 2);
    EXPECT_EQ(GraphMismatches(graph, rect), 0);
    Stop();
}

TEST_F(ScreenReadbackTest, ARectangleTheGraphCannotHoldFailsInEveryMethod) {
    Start3D(16);
    SetScreenReadbackTableForTests(kRecordedTable);
    const HandleValue graph = TextureGraph(32, 24, kPlain);
    const std::vector<Rgba> before = readback_test::TextureGraphColours(graph, 32, 24);
    struct Case {
        const char* what;
        RECT rect;
    };
    const Case cases[] = {
        {"wider than the graph", {10, 10, 43, 34}},
        {"taller than the graph", {10, 10, 42, 35}},
        {"left of the screen", {-1, 10, 31, 34}},
        {"above the screen", {10, -1, 42, 23}},
        {"empty", {10, 10, 10, 34}},
        {"inverted", {42, 10, 10, 34}},
        {"starting at the screen's right edge", {640, 10, 672, 34}},
        {"starting at the screen's bottom edge", {10, 480, 42, 504}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GetDevice3DState().readbackSlots[0] = 1;
        gCalls.clear();
        EXPECT_EQ(CaptureScreenToGraph(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom,
                                       graph, 1),
                  -1);
        // The remembered method first, then the whole table; every one of them refused.
        EXPECT_EQ(gCalls, (std::vector<MethodCall>{
                              {1, -1}, {5, -1}, {1, -1}, {3, -1}, {2, -1}, {4, -1}}));
        EXPECT_EQ(GetDevice3DState().readbackSlots[0], -1);
    }
    EXPECT_EQ(readback_test::TextureGraphColours(graph, 32, 24), before);
    Stop();
}

TEST_F(ScreenReadbackTest, EachMethodBringsTheScreenPixelsIntoEveryPiece) {
    // Small textures cut a 100 x 70 graph into four pieces; the rectangle reaches past the
    // screen's right edge, so the right pieces take only what lies on the screen.
    for (int32_t depth : {16, 32}) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        plat::SetD3DTextureSideLimits(1, 64);
        Start3D(depth);
        for (Kind kind : {kPlain, kAlphaKeyed, kAlpha}) {
            for (int number = 1; number <= 5; ++number) {
                SCOPED_TRACE("kind " + std::to_string(kind) + " method " + std::to_string(number));
                const HandleValue graph = TextureGraph(100, 70, kind);
                ASSERT_GE(GetGraphRecord(graph)->surfaceCount, 4);
                const ScreenReadbackMethod only[] = {kMethodByNumber[number], nullptr};
                SetScreenReadbackTableForTests(only);
                const int result = CaptureScreenToGraph(580, 300, 680, 370, graph, 1);
                if (number == 1 && kind != kPlain) {
                    // A blit cannot bring the screen's pixels into a format with alpha bits.
                    EXPECT_EQ(result, -1);
                    DeleteGraphHandle(graph, 0);
                    continue;
                }
                ASSERT_EQ(result, 0);
                const std::vector<Rgba> got = readback_test::TextureGraphColours(graph, 100, 70);
                std::vector<Rgba> onScreen;
                const std::vector<Rgba> want = BackColours(RECT{580, 300, 640, 370});
                for (int32_t y = 0; y < 70; ++y) {
                    for (int32_t x = 0; x < 60; ++x) onScreen.push_back(got[y * 100 + x]);
                }
                EXPECT_EQ(readback_test::Mismatches(
                              onScreen, want,
                              readback_test::ColourTolerance(GetScreenState().back,
                                                             FirstTexture(graph))),
                          0);
                // What lies past the screen's edge is left as it was (the new texture's zero).
                int touched = 0;
                for (int32_t y = 0; y < 70; ++y) {
                    const Rgba& c = got[y * 100 + 99];
                    touched += c.r + c.g + c.b != 0 ? 1 : 0;
                }
                EXPECT_EQ(touched, 0);
                DeleteGraphHandle(graph, 0);
            }
        }
        Stop();
    }
}

TEST_F(ScreenReadbackTest, ATextureAlreadyLockedIsAFailureNotANestedSuccess) {
    Start3D(32);
    const HandleValue graph = TextureGraph(64, 64, kPlain);
    const Surface3DData* piece = GetSurface3DData(GetGraphRecord(graph)->surfaces[0]);
    const HandleValue texture = piece->surfaceData;
    for (int number : {3, 5}) {
        SCOPED_TRACE("method " + std::to_string(number));
        const ScreenReadbackMethod only[] = {kMethodByNumber[number], nullptr};
        SetScreenReadbackTableForTests(only);
        // Someone holds the very rectangle the method locks.
        int32_t pitch = 0;
        void* pixels = nullptr;
        const RECT whole{0, 0, 64, 64};
        ASSERT_EQ(LockSurfaceData(texture, &pitch, &pixels, 0, &whole, nullptr), 0);
        EXPECT_EQ(CaptureScreenToGraph(0, 0, 64, 64, graph, 1), -1);
        const std::string text = "G_D3D_GetDrawScreenGraphFunction" + std::to_string(number) +
                                 " 　転送先テクスチャサーフェスのロックに失敗しました  Lock  ReturnValue:-2";
        EXPECT_TRUE(LogHas(text));
        EXPECT_EQ(GetSurfaceData(texture)->lockCount, 1);
        EXPECT_EQ(UnlockSurfaceData(texture, &whole), 0);
        EXPECT_EQ(GetSurfaceData(texture)->lockCount, 0);
        // Unlocked, the same method works.
        EXPECT_EQ(CaptureScreenToGraph(0, 0, 64, 64, graph, 1), 0);
        EXPECT_EQ(GraphMismatches(graph, whole), 0);
    }
    Stop();
}

TEST_F(ScreenReadbackTest, WithoutTheScreenSizeFlagAWindowOnThePrimaryIsReadOnTheDesktop) {
    Start3D(32);
    ASSERT_EQ(ApiSetDrawTarget(kDrawTargetFront), 0);
    ASSERT_EQ(IsDrawingToPrimaryInWindow(), 1);
    RECT window{};
    ASSERT_EQ(GetScreenRectOnDesktop(&window), 0);
    // The desktop's pixels hold the pattern of their desktop coordinates.
    plat::DrawSurface* primary = GetScreenState().primary;
    plat::SurfaceDesc desc{};
    ASSERT_EQ(primary->Lock(nullptr, &desc, plat::DDLOCK_WAIT), plat::DD_OK);
    for (uint32_t y = 0; y < desc.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(desc.surface) + y * desc.pitch);
        for (uint32_t x = 0; x < desc.width; ++x) row[x] = PatternValue(x, y) & 0xFFFFFF;
    }
    ASSERT_EQ(primary->Unlock(nullptr), plat::DD_OK);

    const RECT onDesktop{window.left + 10, window.top + 20, window.left + 42, window.top + 44};
    const std::vector<Rgba> want = readback_test::SurfaceColours(primary, onDesktop);
    // With the flag the rectangle is in the screen's coordinates...
    const HandleValue inScreen = TextureGraph(32, 24, kPlain);
    ASSERT_EQ(CaptureScreenToGraph(10, 20, 42, 44, inScreen, 1), 0);
    EXPECT_EQ(readback_test::TextureGraphColours(inScreen, 32, 24), want);
    // ...without it in the desktop's, over the whole desktop.
    const HandleValue inDesktop = TextureGraph(32, 24, kPlain);
    ASSERT_EQ(CaptureScreenToGraph(onDesktop.left, onDesktop.top, onDesktop.right,
                                   onDesktop.bottom, inDesktop, 0),
              0);
    EXPECT_EQ(readback_test::TextureGraphColours(inDesktop, 32, 24), want);
    Stop();
}

TEST_F(ScreenReadbackTest, OnlyTextureGraphsGoToTheReadback) {
    Start3D(16);
    SetScreenReadbackTableForTests(kRecordedTable);
    // A graph kept off Direct3D takes the 2D capture.
    const HandleValue flat = CreateBlankGraph(16, 12, 1);
    ASSERT_EQ(GetGraphRecord(flat)->flags.is3D, 0);
    EXPECT_EQ(CaptureScreenToGraph(10, 20, 26, 32, flat, 1), 0);
    EXPECT_TRUE(gCalls.empty());
    EXPECT_EQ(CaptureScreenToGraph(10, 20, 26, 32, -1, 1), -1);

    // While 3D drawing is suppressed nothing is copied and nothing fails.
    const HandleValue graph = TextureGraph(16, 12, kPlain);
    GetDevice3DState().drawingSuppressed = 1;
    EXPECT_EQ(CaptureScreenToGraph(10, 20, 26, 32, graph, 1), 0);
    EXPECT_TRUE(gCalls.empty());
    GetDevice3DState().drawingSuppressed = 0;
    EXPECT_EQ(CaptureScreenToGraph(10, 20, 26, 32, graph, 1), 0);
    EXPECT_EQ(CalledNumbers(), (std::vector<int>{5}));
    Stop();
}

}  // namespace
