// What the graph-level software draws ask of the draw target: without software-only mode or a
// DirectDraw object every draw is refused and nothing is touched; the graph's size and surface
// image are found; and on a screen in DirectDraw surfaces each draw locks exactly the
// rectangles the road prepares, runs the kernel on the locked pixels and unlocks them once.
#include "graphics/draw_target/draw_target_images.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/draw_graph/soft_road/quad_graph_soft.h"
#include "graphics/draw_graph/soft_road/rotated_graph_soft.h"
#include "graphics/draw_graph/soft_road/stretched_graph_soft.h"
#include "graphics/draw_graph/soft_road/triangle_graph_soft.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "platform/ddraw/ddraw.h"
#include "platform/testing/ddraw_test_controls.h"
#include "softrender/rotated/blit_rotated.h"
#include "softrender/scaled/blit_scaled.h"
#include "softrender/triangle/triangle_rasterizer.h"
#include "softrender/unscaled/blit_unscaled.h"
#include "tests/graphics/draw_graph/soft_road/soft_graph_fixture.h"
#include "tests/graphics/surfaces/surface_test_support.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

// The first pixel of the test graphs (FillNumberedPixels).
constexpr uint32_t kGraphSeed = 0x00204060u;

std::vector<int32_t> Edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
std::vector<int32_t> Edges(const plat::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

// The rectangle the draw target locks for a kernel's box: the box with the kernel's margin of
// 2 before and 4 after, inside the draw area.
RECT KernelLock(const RECT& box, const RECT& area) {
    RECT r{box.left - 2, box.top - 2, box.right + 4, box.bottom + 4};
    ClipRectInPlace(&r, &area);
    return r;
}

// The rectangle of a graph the draw target locks for a kernel's source box: one more column
// and row (the box may name its last texel inclusively), inside the graph.
RECT SourceLock(const RECT& box, int32_t width, int32_t height) {
    RECT r{box.left, box.top, box.right + 1, box.bottom + 1};
    const RECT own{0, 0, width, height};
    ClipRectInPlace(&r, &own);
    return r;
}

// One call of the surface layer, by name, surface and rectangle.
struct Call {
    std::string op;
    uint32_t surface;
    std::vector<int32_t> rect;
    bool operator==(const Call&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Call& c) {
    out << c.op << " #" << c.surface;
    for (int32_t v : c.rect) out << ' ' << v;
    return out;
}

// Runs the draws with the surface layer's call log on and gives the calls they made.
template <class Draws>
std::vector<Call> CallsOf(Draws draws) {
    plat::StartDDrawCallLog();
    draws();
    std::vector<Call> out;
    for (const plat::DDrawCall& c : plat::TakeDDrawCallLog()) {
        out.push_back({c.op, c.surface, c.hasRect ? Edges(c.rect) : std::vector<int32_t>{}});
    }
    plat::StopDDrawCallLog();
    return out;
}

// The whole of a 32-bit surface as a software image.
TestImage ImageOfSurface(plat::DrawSurface* surface) {
    plat::SurfaceDesc desc{};
    EXPECT_EQ(surface->Lock(nullptr, &desc, plat::DDLOCK_WAIT), plat::DD_OK);
    TestImage image(static_cast<int>(desc.width), static_cast<int>(desc.height),
                    MEMIMG_FORMAT_32);
    for (uint32_t y = 0; y < desc.height; ++y) {
        for (uint32_t x = 0; x < desc.width; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, static_cast<const uint8_t*>(desc.surface) + y * desc.pitch + x * 4,
                        4);
            image.Set(static_cast<int>(x), static_cast<int>(y), v);
        }
    }
    surface->Unlock(nullptr);
    return image;
}

// Graph management on a 32-bit screen in DirectDraw surfaces: the back screen (the draw
// target) and both work surfaces in system memory, and graphs made in system memory too, so
// that a software draw locks the back screen and the graph's own surface directly and the
// call log shows exactly the rectangles the road prepared.
class DirectDrawRoadTest : public SurfaceFixture {
protected:
    void SetUp() override {
        SurfaceFixture::SetUp();
        ResetScreenState();
        UseDisplay(32);
        screen_ = kAbsentScreen;
        screen_.selectDrawTargetSurface = SelectDrawTargetSurface;
        ScreenSlot().Install(screen_);
        ScreenState& s = GetScreenState();
        s.back = MakeSurface(640, 480);
        s.work = MakeSurface(640, 480);
        s.work2 = MakeSurface(640, 480);
        ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
        // No video memory is left for graphs: their surfaces go to system memory.
        plat::SetVideoMemoryBudget(plat::GetVideoMemoryInUse());
        back_ = plat::SurfaceSerial(s.back);
        FillBack(0x00102030);
    }
    void TearDown() override {
        ScreenState& s = GetScreenState();
        for (plat::DrawSurface** surface : {&s.back, &s.work, &s.work2}) {
            if (*surface != nullptr) (*surface)->Release();
            *surface = nullptr;
        }
        GetDrawTargetSurface() = DrawTargetSurface{};
        ResetScreenState();
        SurfaceFixture::TearDown();
    }

    plat::DrawSurface* MakeSurface(int32_t w, int32_t h) {
        plat::SurfaceDesc desc{};
        desc.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
        desc.width = static_cast<uint32_t>(w);
        desc.height = static_cast<uint32_t>(h);
        desc.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_SYSTEMMEMORY;
        plat::DrawSurface* surface = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&desc, &surface), plat::DD_OK);
        return surface;
    }

    static void FillBack(uint32_t value) {
        plat::BltFx fx{};
        fx.fillColor = value;
        GetScreenState().back->Blt(nullptr, nullptr, nullptr,
                                   plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx);
    }

    // A graph in its own system-memory surface whose pixels all differ.
    HandleValue MakeGraph(int w, int h) {
        const HandleValue graph = CreateBlankGraph(w, h, 1);
        EXPECT_GE(graph, 0);
        SurfaceDataRecord* data = DataOf(graph);
        EXPECT_NE(data, nullptr);
        if (data == nullptr) return graph;
        EXPECT_NE(data->surface, nullptr);
        EXPECT_EQ(data->software, 0u);
        EXPECT_EQ(data->softImage, 1);
        plat::SurfaceDesc desc{};
        EXPECT_EQ(data->surface->Lock(nullptr, &desc, plat::DDLOCK_WAIT), plat::DD_OK);
        FillNumberedPixels(static_cast<uint8_t*>(desc.surface), desc.pitch, w, h, kGraphSeed);
        data->surface->Unlock(nullptr);
        return graph;
    }
    uint32_t SerialOf(HandleValue graph) { return plat::SurfaceSerial(DataOf(graph)->surface); }

    // The lock, draw and unlock of one kernel draw: the back screen at backRect, the graph's
    // surface at sourceRect when a source is read.
    std::vector<Call> KernelDraw(const RECT& backRect, uint32_t source, const RECT* sourceRect) {
        std::vector<Call> calls{{"Lock", back_, Edges(backRect)}};
        if (sourceRect != nullptr) calls.push_back({"Lock", source, Edges(*sourceRect)});
        calls.push_back({"Unlock", back_, Edges(backRect)});
        if (sourceRect != nullptr) calls.push_back({"Unlock", source, Edges(*sourceRect)});
        return calls;
    }

    uint32_t back_ = 0;
    static inline ScreenDriver screen_ = {};
};

// Software-screen tests of the same entries.
class SoftRoadTest : public SoftGraphFixture {
protected:
    // A graph whose pixels are all different.
    HandleValue MakeGraph(int w, int h) { return MakeNumberedGraph(w, h, kGraphSeed); }
};

TEST_F(SoftRoadTest, WithoutSoftwareOnlyModeOrADirectDrawObjectEveryGraphDrawIsRefused) {
    const HandleValue graph = MakeGraph(4, 3);
    const GraphRecord* record = GetGraphRecord(graph);
    TestImage target(16, 16, 1);
    SetTarget(target.get());
    UseNoScreen();
    EXPECT_EQ(IsSoftDrawAvailable(), 0);
    const int32_t v[12] = {0, 0, 0, 0, 4, 0, 4, 0, 0, 4, 0, 4};
    EXPECT_EQ(BlitGraphRotatedSoft(8, 8, 1.0, 0.0, record, 0, 0), -1);
    EXPECT_EQ(BlitGraphStretchedSoft(0, 0, 8, 8, record, 0, 1, kNoHandle), -1);
    EXPECT_EQ(DrawGraphTriangleSoft(v, record, 0, 0), -1);
    EXPECT_EQ(DrawGraphTriangleSoft(v, nullptr, 0, 0x1234), -1);
    EXPECT_EQ(DrawGraphQuadSoft(0, 0, 4, 0, 0, 4, 4, 4, record, 0), 0);  // always 0
    EXPECT_EQ(target.bytes(), TestImage(16, 16, 1).bytes());
}

TEST_F(SoftRoadTest, TheGraphsSizeAndSurfaceImageAreFound) {
    const HandleValue parent = MakeGraph(6, 5);
    const HandleValue part = DeriveGraph(2, 1, 3, 2, parent);
    ASSERT_GE(part, 0);
    EXPECT_EQ(GetGraphRecord(part)->width, 3);
    EXPECT_EQ(GetGraphRecord(part)->height, 2);

    MEMIMG view;
    SoftSurfaceImage own{};
    ASSERT_EQ(GetGraphSurfaceSoftImage(GetGraphRecord(parent), kNoHandle, &view, &own), 0);
    EXPECT_EQ(own.image, ImageOf(parent));
    EXPECT_EQ(own.surface2D, GetGraphRecord(parent)->surfaces[0]);
    EXPECT_EQ(own.width, 6);
    EXPECT_EQ(own.height, 5);

    // Another graph's 2D surface: a view of the derived rectangle, with that surface's size.
    SoftSurfaceImage given{};
    const HandleValue partSurface = GetGraphRecord(part)->surfaces[0];
    ASSERT_EQ(GetGraphSurfaceSoftImage(GetGraphRecord(parent), partSurface, &view, &given), 0);
    EXPECT_EQ(given.image, &view);
    EXPECT_EQ(given.surface2D, partSurface);
    EXPECT_EQ(given.width, 3);
    EXPECT_EQ(given.height, 2);
    EXPECT_EQ(view.width, 3);
    EXPECT_EQ(view.height, 2);
    EXPECT_EQ(view.pixels, ImageOf(parent)->pixels + 1 * ImageOf(parent)->pitch + 2 * 4);

    EXPECT_EQ(GetGraphSurfaceSoftImage(GetGraphRecord(parent), 12345, &view, &given), -1);
    EXPECT_EQ(GetGraphSurfaceSoftImage(nullptr, kNoHandle, &view, &given), -1);
}

TEST_F(DirectDrawRoadTest, TheRotatedDrawRunsOnTheLockedRectangles) {
    const HandleValue graph = MakeGraph(5, 4);
    TestImage expected = ImageOfSurface(GetScreenState().back);
    const TestImage source = ImageOfSurface(DataOf(graph)->surface);
    const RECT area = GetDrawState().drawArea;

    const RECT whole{0, 0, 5, 4};
    const RECT sourceLock = SourceLock(whole, 5, 4);
    EXPECT_EQ(CallsOf([&] {
                  EXPECT_EQ(BlitGraphRotatedSoft(10.9f, 9.5f, 1.5, 0.4, GetGraphRecord(graph), 0,
                                                 0),
                            0);
              }),
              KernelDraw(KernelLock(GetRotatedSoftDrawBox(10, 9, 1.5, 0.4, 5, 4), area),
                         SerialOf(graph), &sourceLock));
    EXPECT_FALSE(GetSoftDrawState().begun);
    EXPECT_EQ(Edges(GetDrawState().drawArea), Edges(area));

    BlitMemImgRotated(expected.get(), source.get(), 10, 9, 0.4f, 1.5f, 0, 0, nullptr,
                      GetDrawState());
    const TestImage after = ImageOfSurface(GetScreenState().back);
    EXPECT_EQ(after.bytes(), expected.bytes());
    TestImage untouched(640, 480, MEMIMG_FORMAT_32);
    untouched.Fill(0x00102030);
    EXPECT_NE(after.bytes(), untouched.bytes());
}

TEST_F(DirectDrawRoadTest, TheStretchedDrawRunsOnTheLockedRectangles) {
    const HandleValue graph = MakeGraph(4, 3);
    GetDrawState().drawArea = RECT{0, 0, 10, 10};
    TestImage expected = ImageOfSurface(GetScreenState().back);
    const TestImage source = ImageOfSurface(DataOf(graph)->surface);

    // Mirrored along x and clipped by the draw area.
    RECT sourceRect, destRect;
    ASSERT_EQ(GetStretchedSoftDrawRects(12, 1, 2, 7, 4, 3, RECT{0, 0, 10, 10}, &sourceRect,
                                        &destRect),
              0);
    const RECT sourceLock = SourceLock(sourceRect, 4, 3);
    EXPECT_EQ(CallsOf([&] {
                  EXPECT_EQ(BlitGraphStretchedSoft(12, 1, 2, 7, GetGraphRecord(graph), 0, 1,
                                                   kNoHandle),
                            0);
              }),
              KernelDraw(KernelLock(destRect, RECT{0, 0, 10, 10}), SerialOf(graph),
                         &sourceLock));
    EXPECT_FALSE(GetSoftDrawState().begun);
    BlitMemImgScaled(expected.get(), source.get(), RECT{12, 1, 2, 7}, 0, nullptr,
                     GetDrawState());
    TestImage after = ImageOfSurface(GetScreenState().back);
    EXPECT_EQ(after.bytes(), expected.bytes());
    TestImage untouched(640, 480, MEMIMG_FORMAT_32);
    untouched.Fill(0x00102030);
    EXPECT_NE(after.bytes(), untouched.bytes());

    // A rectangle, or a rotated box with the kernel's margin, that misses the draw area has
    // nothing to draw: 0, as on the software screen, and nothing is locked.
    const GraphRecord* record = GetGraphRecord(graph);
    EXPECT_EQ(CallsOf([&] {
                  EXPECT_EQ(BlitGraphStretchedSoft(20, 20, 30, 30, record, 0, 1, kNoHandle), 0);
                  EXPECT_EQ(BlitGraphStretchedSoft(30, 30, 20, 20, record, 0, 1, kNoHandle), 0);
                  EXPECT_EQ(BlitGraphRotatedSoft(20.0f, 20.0f, 1.0, 0.5, record, 0, 0), 0);
                  EXPECT_EQ(BlitGraphRotatedSoft(-6.0f, 3.0f, 1.0, 0.0, record, 0, 0), 0);
                  // A zero-width rectangle is still refused.
                  EXPECT_EQ(BlitGraphStretchedSoft(3, 3, 3, 9, record, 0, 1, kNoHandle), -1);
              }),
              std::vector<Call>{});
    EXPECT_EQ(ImageOfSurface(GetScreenState().back).bytes(), after.bytes());

    // A rectangle of the source's own size, not mirrored, is not this road's: the unscaled
    // draw copies it with one BltFast, nothing is locked.
    EXPECT_EQ(CallsOf([&] {
                  EXPECT_EQ(BlitGraphStretchedSoft(1, 1, 5, 4, record, 0, 1, kNoHandle), 0);
              }),
              (std::vector<Call>{{"BltFast", back_, {1, 1, 5, 4}}}));
    BlitMemImg(after.get(), source.get(), 1, 1, 0, nullptr, GetDrawState());
    EXPECT_EQ(ImageOfSurface(GetScreenState().back).bytes(), after.bytes());
}

TEST_F(DirectDrawRoadTest, TheTriangleDrawRunsOnTheLockedRectangles) {
    const HandleValue graph = MakeGraph(4, 4);
    TestImage expected = ImageOfSurface(GetScreenState().back);
    const TestImage source = ImageOfSurface(DataOf(graph)->surface);
    const RECT area = GetDrawState().drawArea;

    const int32_t v[12] = {1, 2, 0, 0, 9, 2, 4, 0, 1, 8, 0, 4};
    RECT destinationBox, sourceBox;
    GetTriangleSoftDrawBoxes(v, &destinationBox, &sourceBox);
    const RECT sourceLock = SourceLock(sourceBox, 4, 4);
    EXPECT_EQ(CallsOf([&] { EXPECT_EQ(DrawGraphTriangleSoft(v, GetGraphRecord(graph), 0, 0), 0); }),
              KernelDraw(KernelLock(destinationBox, area), SerialOf(graph), &sourceLock));
    EXPECT_FALSE(GetSoftDrawState().begun);
    RasterizeMemImgTriangle(expected.get(), source.get(), v, 0, nullptr, 0, GetDrawState());
    TestImage after = ImageOfSurface(GetScreenState().back);
    EXPECT_EQ(after.bytes(), expected.bytes());
    TestImage untouched(640, 480, MEMIMG_FORMAT_32);
    untouched.Fill(0x00102030);
    EXPECT_NE(after.bytes(), untouched.bytes());

    // A flat triangle has no 2D surface and no source: only the back screen is locked.
    EXPECT_EQ(CallsOf([&] { EXPECT_EQ(DrawGraphTriangleSoft(v, nullptr, 0, 0x00FF00FF), 0); }),
              KernelDraw(KernelLock(destinationBox, area), 0, nullptr));
    RasterizeMemImgTriangle(after.get(), nullptr, v, 0, nullptr, 0x00FF00FF, GetDrawState());
    EXPECT_EQ(ImageOfSurface(GetScreenState().back).bytes(), after.bytes());
}

TEST_F(DirectDrawRoadTest, AFailedLockDrawsNothingAndUnlocksNothing) {
    const HandleValue graph = MakeGraph(4, 4);
    const TestImage before = ImageOfSurface(GetScreenState().back);
    const RECT area = GetDrawState().drawArea;
    const int32_t v[12] = {1, 2, 0, 0, 9, 2, 4, 0, 1, 8, 0, 4};
    struct RefusedDraw {
        const char* name;
        int (*draw)(const GraphRecord* graph, const int32_t* v);
    };
    const RefusedDraw draws[] = {
        {"rotated", [](const GraphRecord* g, const int32_t*) {
             return BlitGraphRotatedSoft(8, 8, 1.0, 0.3, g, 0, 0);
         }},
        {"stretched", [](const GraphRecord* g, const int32_t*) {
             return BlitGraphStretchedSoft(0, 0, 9, 9, g, 0, 1, kNoHandle);
         }},
        {"triangle", [](const GraphRecord* g, const int32_t* t) {
             return DrawGraphTriangleSoft(t, g, 0, 0);
         }},
        {"flat triangle", [](const GraphRecord*, const int32_t* t) {
             return DrawGraphTriangleSoft(t, nullptr, 0, 0x1234);
         }},
    };
    for (const RefusedDraw& d : draws) {
        SCOPED_TRACE(d.name);
        plat::FailNextSurfaceLocks(1);
        plat::StartDDrawCallLog();
        EXPECT_EQ(d.draw(GetGraphRecord(graph), v), -1);
        // The draw reached the lock of the back screen, which failed; nothing to unlock.
        const std::vector<plat::DDrawCall> calls = plat::TakeDDrawCallLog();
        plat::StopDDrawCallLog();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_STREQ(calls[0].op, "Lock");
        EXPECT_EQ(calls[0].surface, back_);
        EXPECT_NE(calls[0].result, plat::DD_OK);
        EXPECT_FALSE(GetSoftDrawState().begun);
        EXPECT_EQ(Edges(GetDrawState().drawArea), Edges(area));
    }
    EXPECT_EQ(ImageOfSurface(GetScreenState().back).bytes(), before.bytes());
}

}  // namespace
