// Blt and BltFast of the surface layer: colour fills, nearest-neighbour stretching, source
// colour keys, rectangles that must lie inside, format checks and copies within one surface.
#include <gtest/gtest.h>

#include <numeric>

#include "tests/platform/ddraw/ddraw_fixture.h"

namespace {

using plat::DD_OK;
using plat::Rect;

using DDrawBlitTest = DDrawFixture;

// width × height values 0, 1, 2, ... row by row.
std::vector<uint32_t> Counting(uint32_t width, uint32_t height, uint32_t start = 1) {
    std::vector<uint32_t> v(size_t{width} * height);
    std::iota(v.begin(), v.end(), start);
    return v;
}

TEST_F(DDrawBlitTest, ColorFillWritesTheRectangleOnly) {
    plat::SetSurfacePitchPadding(16);
    plat::DrawSurface* s = MakePlain(6, 4, Xrgb32());
    WriteAll(s, std::vector<uint32_t>(24, 7));
    const Rect r = {1, 1, 4, 3};
    const plat::BltFx fx = {0x00ABCDEF, 0};
    ASSERT_EQ(s->Blt(&r, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx), DD_OK);
    const std::vector<uint32_t> got = ReadAll(s);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(got[y * 6 + x], inside ? 0x00ABCDEFu : 7u) << x << "," << y;
        }
    }
    // The fill value is cut to the pixel size.
    plat::DrawSurface* s16 = MakePlain(2, 2);
    const plat::BltFx wide = {0x12345678, 0};
    ASSERT_EQ(s16->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL, &wide), DD_OK);
    EXPECT_EQ(ReadAll(s16), std::vector<uint32_t>(4, 0x5678u));
    EXPECT_EQ(s16->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL, nullptr),
              plat::DDERR_INVALIDPARAMS);
}

TEST_F(DDrawBlitTest, StretchTakesTheNearestPixelAtOrBefore) {
    plat::DrawSurface* src = MakePlain(3, 2, Xrgb32());
    WriteAll(src, Counting(3, 2));
    plat::DrawSurface* dst = MakePlain(7, 5, Xrgb32());
    const Rect to = {1, 1, 7, 5};  // 6 × 4: twice the source in each direction
    ASSERT_EQ(dst->Blt(&to, src, nullptr, plat::DDBLT_WAIT, nullptr), DD_OK);
    const std::vector<uint32_t> got = ReadAll(dst);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            uint32_t expected = 0;
            if (x >= 1 && y >= 1) expected = 1 + ((y - 1) / 2) * 3 + (x - 1) / 2;
            EXPECT_EQ(got[y * 7 + x], expected) << x << "," << y;
        }
    }
    // Shrinking: 3 × 2 onto 2 × 1 takes source (0, 0) and (1, 0).
    plat::DrawSurface* small = MakePlain(2, 1, Xrgb32());
    ASSERT_EQ(small->Blt(nullptr, src, nullptr, 0, nullptr), DD_OK);
    EXPECT_EQ(ReadAll(small), (std::vector<uint32_t>{1, 2}));
}

TEST_F(DDrawBlitTest, SourceColorKeyLeavesKeyPixelsOut) {
    plat::DrawSurface* src = MakePlain(4, 1);
    WriteAll(src, {5, 9, 5, 3});
    const plat::ColorKey key = {5, 5};
    ASSERT_EQ(src->SetColorKey(plat::DDCKEY_SRCBLT, &key), DD_OK);
    plat::DrawSurface* dst = MakePlain(4, 2);
    WriteAll(dst, std::vector<uint32_t>(8, 1));

    ASSERT_EQ(dst->BltFast(0, 1, src, nullptr, plat::DDBLTFAST_SRCCOLORKEY | plat::DDBLTFAST_WAIT), DD_OK);
    EXPECT_EQ(ReadAll(dst), (std::vector<uint32_t>{1, 1, 1, 1, 1, 9, 1, 3}));
    ASSERT_EQ(dst->BltFast(0, 0, src, nullptr, plat::DDBLTFAST_NOCOLORKEY), DD_OK);
    EXPECT_EQ(ReadAll(dst), (std::vector<uint32_t>{5, 9, 5, 3, 1, 9, 1, 3}));

    WriteAll(dst, std::vector<uint32_t>(8, 1));
    const Rect row = {0, 0, 4, 1};
    ASSERT_EQ(dst->Blt(&row, src, nullptr, plat::DDBLT_KEYSRC, nullptr), DD_OK);
    EXPECT_EQ(ReadAll(dst), (std::vector<uint32_t>{1, 9, 1, 3, 1, 1, 1, 1}));

    // A range key leaves out every value inside it.
    const plat::ColorKey range = {3, 5};
    ASSERT_EQ(src->SetColorKey(plat::DDCKEY_SRCBLT, &range), DD_OK);
    WriteAll(dst, std::vector<uint32_t>(8, 1));
    ASSERT_EQ(dst->BltFast(0, 0, src, nullptr, plat::DDBLTFAST_SRCCOLORKEY), DD_OK);
    EXPECT_EQ(ReadAll(dst), (std::vector<uint32_t>{1, 9, 1, 1, 1, 1, 1, 1}));

    plat::DrawSurface* noKey = MakePlain(4, 1);
    EXPECT_EQ(dst->BltFast(0, 0, noKey, nullptr, plat::DDBLTFAST_SRCCOLORKEY), plat::DDERR_NOCOLORKEY);
}

TEST_F(DDrawBlitTest, RectanglesOutsideAndMismatchedFormatsAreRefused) {
    plat::DrawSurface* src = MakePlain(4, 4);
    plat::DrawSurface* dst = MakePlain(8, 8);
    plat::DrawSurface* wide = MakePlain(8, 8, Xrgb32());
    const Rect srcOut = {2, 2, 5, 4};
    const Rect empty = {1, 1, 1, 3};
    struct Case {
        const char* what;
        plat::DDResult result;
    } cases[] = {
        {"BltFast past the right edge", dst->BltFast(5, 0, src, nullptr, 0)},
        {"BltFast past the bottom edge", dst->BltFast(0, 5, src, nullptr, 0)},
        {"BltFast at a negative position", dst->BltFast(-1, 0, src, nullptr, 0)},
        {"BltFast from outside the source", dst->BltFast(0, 0, src, &srcOut, 0)},
        {"BltFast of an empty rectangle", dst->BltFast(0, 0, src, &empty, 0)},
        {"Blt from outside the source", dst->Blt(nullptr, src, &srcOut, 0, nullptr)},
        {"Blt onto an empty rectangle", dst->Blt(&empty, src, nullptr, 0, nullptr)},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, plat::DDERR_INVALIDRECT) << c.what;
    EXPECT_EQ(wide->BltFast(0, 0, src, nullptr, 0), plat::DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(wide->Blt(nullptr, src, nullptr, 0, nullptr), plat::DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(dst->Blt(nullptr, nullptr, nullptr, 0, nullptr), plat::DDERR_INVALIDPARAMS);
    EXPECT_EQ(dst->BltFast(0, 0, src, nullptr, 0x100), plat::DDERR_INVALIDPARAMS);
    EXPECT_EQ(dst->BltFast(4, 4, src, nullptr, 0), DD_OK);

    plat::SurfaceDesc d;
    ASSERT_EQ(src->Lock(nullptr, &d, 0), DD_OK);
    EXPECT_EQ(dst->BltFast(0, 0, src, nullptr, 0), plat::DDERR_SURFACEBUSY);
    const Rect corner = {0, 0, 2, 2};
    EXPECT_EQ(src->BltFast(0, 0, dst, &corner, 0), plat::DDERR_SURFACEBUSY);
    ASSERT_EQ(src->Unlock(nullptr), DD_OK);
}

TEST_F(DDrawBlitTest, CopyWithinOneSurfaceReadsTheOriginalPixels) {
    plat::DrawSurface* s = MakePlain(5, 1);
    WriteAll(s, {1, 2, 3, 4, 5});
    const Rect first = {0, 0, 4, 1};
    ASSERT_EQ(s->BltFast(1, 0, s, &first, 0), DD_OK);
    EXPECT_EQ(ReadAll(s), (std::vector<uint32_t>{1, 1, 2, 3, 4}));
    const Rect last = {1, 0, 5, 1};
    const Rect to = {0, 0, 4, 1};
    ASSERT_EQ(s->Blt(&to, s, &last, 0, nullptr), DD_OK);
    EXPECT_EQ(ReadAll(s), (std::vector<uint32_t>{1, 2, 3, 4, 4}));
}

}  // namespace
