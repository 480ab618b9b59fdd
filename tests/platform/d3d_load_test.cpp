// The 3D device's Load: a rectangle of one texture copied into another of the same format,
// the defaults for a missing point and rectangle, and the refusals (rectangles outside either
// surface, other formats or surfaces, locked surfaces).
#include <gtest/gtest.h>

#include <vector>

#include "tests/platform/d3d_fixture.h"

namespace {

using plat::D3D_OK;

class D3DLoadTest : public D3DFixture {
protected:
    // Distinct values for every pixel of a width × height surface (seed varies them).
    static std::vector<uint32_t> Pattern(uint32_t width, uint32_t height, uint32_t seed,
                                         uint32_t mask) {
        std::vector<uint32_t> v(size_t{width} * height);
        for (uint32_t i = 0; i < v.size(); ++i) v[i] = ((i + 1) * 0x9E3779B1u + seed) & mask;
        return v;
    }
    plat::Direct3DDevice* Device() { return MakeDevice(MakeTarget(2, 2)); }
};

TEST_F(D3DLoadTest, CopiesTheRectangleToThePointAndNothingElse) {
    struct Case {
        const char* name;
        plat::PixelFormat format;
        uint32_t mask;
        bool wholeSource;  // null rectangle and point
        plat::Rect rect;
        plat::Point point;
    };
    const Case cases[] = {
        {"565 whole source", Rgb565(), 0xFFFF, true, {}, {}},
        {"A8888 whole source", Argb32(), 0xFFFFFFFF, true, {}, {}},
        {"4444 part to a point", A4444(), 0xFFFF, false, {1, 2, 4, 5}, {3, 0}},
        {"X8888 one pixel in a corner", Xrgb32(), 0xFFFFFF, false, {5, 4, 6, 5}, {6, 4}},
    };
    constexpr uint32_t kSw = 6, kSh = 5, kDw = 7, kDh = 5;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plat::DrawSurface* source = MakeTexture(kSw, kSh, c.format);
        plat::DrawSurface* dest = MakeTexture(kDw, kDh, c.format);
        const std::vector<uint32_t> src = Pattern(kSw, kSh, 1, c.mask);
        const std::vector<uint32_t> before = Pattern(kDw, kDh, 2, c.mask);
        WriteAll(source, src);
        WriteAll(dest, before);
        plat::Direct3DDevice* d = Device();
        if (c.wholeSource) {
            EXPECT_EQ(d->Load(dest, nullptr, source, nullptr, 0), D3D_OK);
        } else {
            EXPECT_EQ(d->Load(dest, &c.point, source, &c.rect, 0), D3D_OK);
        }
        const plat::Rect r = c.wholeSource ? plat::Rect{0, 0, kSw, kSh} : c.rect;
        const plat::Point p = c.wholeSource ? plat::Point{0, 0} : c.point;
        const std::vector<uint32_t> got = ReadAll(dest);
        for (int32_t y = 0; y < static_cast<int32_t>(kDh); ++y) {
            for (int32_t x = 0; x < static_cast<int32_t>(kDw); ++x) {
                const int32_t sx = x - p.x + r.left, sy = y - p.y + r.top;
                const bool copied = sx >= r.left && sx < r.right && sy >= r.top && sy < r.bottom;
                const uint32_t expected = copied ? src[static_cast<size_t>(sy * kSw + sx)]
                                                 : before[static_cast<size_t>(y * kDw + x)];
                EXPECT_EQ(got[static_cast<size_t>(y * kDw + x)], expected) << x << "," << y;
            }
        }
    }
}

TEST_F(D3DLoadTest, OverlappingRectanglesOfOneSurfaceCopyAsIfThroughATemporary) {
    constexpr uint32_t kS = 5;
    plat::DrawSurface* t = MakeTexture(kS, kS, Xrgb32());
    const std::vector<uint32_t> before = Pattern(kS, kS, 3, 0xFFFFFF);
    for (const plat::Point p : {plat::Point{1, 1}, plat::Point{0, 0}}) {
        SCOPED_TRACE(p.x);
        WriteAll(t, before);
        const plat::Rect r = p.x == 0 ? plat::Rect{1, 1, 5, 5} : plat::Rect{0, 0, 4, 4};
        ASSERT_EQ(Device()->Load(t, &p, t, &r, 0), D3D_OK);
        const std::vector<uint32_t> got = ReadAll(t);
        for (int32_t y = 0; y < 4; ++y) {
            for (int32_t x = 0; x < 4; ++x) {
                EXPECT_EQ(got[static_cast<size_t>((p.y + y) * 5 + p.x + x)],
                          before[static_cast<size_t>((r.top + y) * 5 + r.left + x)]);
            }
        }
    }
}

TEST_F(D3DLoadTest, RefusalsLeaveTheDestinationAsItWasAndAreLogged) {
    plat::DrawSurface* source = MakeTexture(4, 4, Rgb565());
    plat::DrawSurface* dest = MakeTexture(3, 3, Rgb565());
    plat::DrawSurface* other = MakeTexture(4, 4, X1555());
    plat::DrawSurface* plain = MakePlain(4, 4);  // 5-6-5, not a texture
    const std::vector<uint32_t> before = Pattern(3, 3, 4, 0xFFFF);
    WriteAll(source, Pattern(4, 4, 5, 0xFFFF));
    WriteAll(dest, before);
    plat::Direct3DDevice* d = Device();
    const plat::Point origin = {0, 0};
    struct Case {
        const char* name;
        plat::DrawSurface* dest;
        plat::Point point;
        plat::DrawSurface* source;
        plat::Rect rect;
        plat::DDResult expected;
    };
    const Case cases[] = {
        {"rectangle past the source's right", dest, origin, source, {2, 0, 5, 1},
         plat::DDERR_INVALIDPARAMS},
        {"rectangle above the source", dest, origin, source, {0, -1, 1, 1},
         plat::DDERR_INVALIDPARAMS},
        {"empty rectangle", dest, origin, source, {1, 1, 1, 2}, plat::DDERR_INVALIDPARAMS},
        {"inverted rectangle", dest, origin, source, {2, 2, 1, 3}, plat::DDERR_INVALIDPARAMS},
        {"does not fit the destination", dest, {1, 0}, source, {0, 0, 3, 3},
         plat::DDERR_INVALIDPARAMS},
        {"point left of the destination", dest, {-1, 0}, source, {0, 0, 1, 1},
         plat::DDERR_INVALIDPARAMS},
        {"sizes that overflow", dest, {0x7FFFFFFF, 0}, source, {-0x7FFFFFFF, 0, 0x7FFFFFFF, 1},
         plat::DDERR_INVALIDPARAMS},
        {"whole source larger than the destination", dest, origin, source, {0, 0, 4, 4},
         plat::DDERR_INVALIDPARAMS},
        {"other format", dest, origin, other, {0, 0, 1, 1}, plat::DDERR_INVALIDPARAMS},
        {"source not a texture", dest, origin, plain, {0, 0, 1, 1}, plat::DDERR_INVALIDCAPS},
        {"no source", dest, origin, nullptr, {0, 0, 1, 1}, plat::DDERR_INVALIDPARAMS},
        {"no destination", nullptr, origin, source, {0, 0, 1, 1}, plat::DDERR_INVALIDPARAMS},
    };
    plat::StartD3DCallLog();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(d->Load(c.dest, &c.point, c.source, &c.rect, 0), c.expected);
        const std::vector<plat::D3DCall> calls = plat::TakeD3DCallLog();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_STREQ(calls[0].op, "Load");
        EXPECT_EQ(calls[0].a, c.dest != nullptr ? plat::SurfaceSerial(c.dest) : 0u);
        EXPECT_EQ(calls[0].b, c.source != nullptr ? plat::SurfaceSerial(c.source) : 0u);
        EXPECT_EQ(calls[0].result, c.expected);
    }
    EXPECT_EQ(ReadAll(dest), before);

    // Locked either side: busy; afterwards the same call goes through and is logged.
    const plat::Rect r = {1, 1, 3, 3};
    for (plat::DrawSurface* locked : {dest, source}) {
        plat::SurfaceDesc desc;
        ASSERT_EQ(locked->Lock(nullptr, &desc, plat::DDLOCK_WAIT), plat::DD_OK);
        EXPECT_EQ(d->Load(dest, &origin, source, &r, 0), plat::DDERR_SURFACEBUSY);
        ASSERT_EQ(locked->Unlock(nullptr), plat::DD_OK);
    }
    EXPECT_EQ(ReadAll(dest), before);
    plat::TakeD3DCallLog();
    EXPECT_EQ(d->Load(dest, &origin, source, &r, 0), D3D_OK);
    const std::vector<plat::D3DCall> calls = plat::TakeD3DCallLog();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].c, 4u);
    EXPECT_EQ(calls[0].result, D3D_OK);
    plat::StopD3DCallLog();
}

}  // namespace
