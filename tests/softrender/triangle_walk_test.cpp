// Which texel lands on which pixel, and which pixels the walk visits how often: triangles and
// quads drawn from a coordinate-coded source (each pixel holds its own x and y), and with an
// add of 1 that counts the visits of every pixel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "softrender/triangle/quad_draw.h"
#include "softrender/triangle/triangle_rasterizer.h"
#include "tests/softrender/softrender_test_support.h"

namespace {

constexpr uint32_t kUntouched = 0xEEEEEEEEu;

// A 32-bit source whose pixel (x, y) is 0x01000000 | y << 8 | x.
TestImage CoordinateSource(int w, int h) {
    TestImage src(w, h, 1);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) src.Set(x, y, 0x01000000u | (y << 8) | x);
    }
    return src;
}

// The destination row by row, each pixel as the hex digits of the texel's x and y it holds,
// ".." where nothing was drawn.
std::vector<std::string> TexelMap(const TestImage& dst) {
    std::vector<std::string> rows;
    for (int y = 0; y < dst.get()->height; ++y) {
        std::string row;
        for (int x = 0; x < dst.get()->width; ++x) {
            const uint32_t v = dst.Get(x, y);
            if (!row.empty()) row += ' ';
            if (v == kUntouched) {
                row += "..";
            } else {
                static const char kHex[] = "0123456789ABCDEF";
                row += kHex[v & 0xF];
                row += kHex[(v >> 8) & 0xF];
            }
        }
        rows.push_back(row);
    }
    return rows;
}

// The number of times each pixel was drawn by an add of blue 1 onto black, one digit a pixel.
std::vector<std::string> VisitMap(const TestImage& dst) {
    std::vector<std::string> rows;
    for (int y = 0; y < dst.get()->height; ++y) {
        std::string row;
        for (int x = 0; x < dst.get()->width; ++x) {
            row += static_cast<char>('0' + (dst.Get(x, y) & 0xFF));
        }
        rows.push_back(row);
    }
    return rows;
}

class TriangleWalkTest : public SoftRenderTest {
protected:
    TestImage Blank(int w, int h) {
        TestImage dst(w, h, 1);
        dst.Fill(kUntouched);
        return dst;
    }
    // A flat add of blue 1 at parameter 255.
    void Count(TestImage& dst, const std::vector<int32_t>& v) {
        SetBlend(2, 255);
        RasterizeMemImgTriangle(dst.get(), nullptr, v.data(), 0, nullptr, 0x000001u, GetDrawState());
    }
};

struct TexelCase {
    const char* name;
    int srcW, srcH;
    int dstW, dstH;
    RECT area;
    std::vector<int32_t> vertices;
    std::vector<std::string> expected;
};

TEST_F(TriangleWalkTest, TexelsLandWhereTheMappingPutsThem) {
    const TexelCase cases[] = {
        {"lines 0 to 3, each from pixel 0 to the right edge inclusive",
         8,
         8,
         6,
         5,
         {0, 0, 6, 5},
         {0, 0, 0, 0, 4, 0, 4, 0, 0, 4, 0, 4},
         {"00 10 20 30 40 ..", "01 11 21 31 .. ..", "02 12 22 .. .. ..", "03 13 .. .. .. ..",
          ".. .. .. .. .. .."}},
        {"u = width exactly lies outside the source",
         4,
         4,
         6,
         5,
         {0, 0, 6, 5},
         {0, 0, 0, 0, 4, 0, 4, 0, 0, 4, 0, 4},
         {"00 10 20 30 .. ..", "01 11 21 31 .. ..", "02 12 22 .. .. ..", "03 13 .. .. .. ..",
          ".. .. .. .. .. .."}},
        {"magnified twice: each texel covers two pixels",
         8,
         8,
         6,
         5,
         {0, 0, 6, 5},
         {0, 0, 0, 0, 8, 0, 4, 0, 0, 8, 0, 4},
         {"00 00 10 10 20 20", "00 00 10 10 20 20", "01 01 11 11 21 21", "01 01 11 11 21 21",
          "02 02 12 12 22 .."}},
        {"a span cut at the draw area's left edge starts with the texel of that pixel",
         8,
         8,
         6,
         5,
         {2, 1, 4, 5},
         {0, 0, 0, 0, 4, 0, 4, 0, 0, 4, 0, 4},
         {".. .. .. .. .. ..", ".. .. 21 31 .. ..", ".. .. 22 .. .. ..", ".. .. .. .. .. ..",
          ".. .. .. .. .. .."}},
        {"a vertex at x = -3 lands on pixel -2: the texels move one column",
         8,
         8,
         6,
         3,
         {0, 0, 6, 3},
         {-3, 0, 0, 0, 5, 0, 8, 0, -3, 8, 0, 8},
         {"20 30 40 50 60 70", "21 31 41 51 61 ..", "22 32 42 52 .. .."}},
        {"a top at y = -3 starts on line -2: the rows move one line",
         8,
         8,
         4,
         5,
         {0, 0, 4, 5},
         {0, -3, 0, 0, 6, -3, 6, 0, 0, 3, 0, 6},
         {"02 12 22 32", "03 13 23 33", "04 14 24 ..", "05 15 .. ..", ".. .. .. .."}},
    };
    for (const TexelCase& c : cases) {
        SetBlend(0, 255);
        SetArea(c.area.left, c.area.top, c.area.right, c.area.bottom);
        TestImage src = CoordinateSource(c.srcW, c.srcH);
        TestImage dst = Blank(c.dstW, c.dstH);
        RasterizeMemImgTriangle(dst.get(), src.get(), c.vertices.data(), 0, nullptr, 0, GetDrawState());
        EXPECT_EQ(TexelMap(dst), c.expected) << c.name;
    }
}

TEST_F(TriangleWalkTest, TheTieOrderOfEqualXChoosesTheAnchor) {
    // One triangle listed in two orders. Vertices A (0, 0) and B (0, 3) have equal X, so the
    // listing decides which of them anchors the mapping. v steps 1/3 texel per column and
    // 7/3 per line, both truncated in 14.18: from A, v at (2, 1) is 786431 units (row 2) and
    // at (1, 2) 1310719 (row 4); from B every v is one unit more, which crosses onto rows 3
    // and 5 there.
    TestImage src = CoordinateSource(16, 16);
    const std::vector<int32_t> anchoredOnA = {0, 0, 0, 0, 0, 3, 0, 7, 2, 1, 5, 3};
    const std::vector<int32_t> anchoredOnB = {0, 3, 0, 7, 0, 0, 0, 0, 2, 1, 5, 3};
    TestImage a = Blank(4, 4);
    TestImage b = Blank(4, 4);
    RasterizeMemImgTriangle(a.get(), src.get(), anchoredOnA.data(), 0, nullptr, 0, GetDrawState());
    RasterizeMemImgTriangle(b.get(), src.get(), anchoredOnB.data(), 0, nullptr, 0, GetDrawState());
    EXPECT_EQ(TexelMap(a), (std::vector<std::string>{"00 .. .. ..", "02 22 52 ..", "04 24 .. ..",
                                                     ".. .. .. .."}));
    EXPECT_EQ(TexelMap(b), (std::vector<std::string>{"00 .. .. ..", "02 22 53 ..", "04 25 .. ..",
                                                     ".. .. .. .."}));
}

TEST_F(TriangleWalkTest, TheRightSideSwitchesSegmentsAtTheMiddleVertex) {
    // Middle vertex on the right: the right side runs (0, 0) to (4, 2), then from the middle
    // vertex (one 14.18 unit right of it) to (0, 4), and the middle line takes the second
    // segment's start; the left side is the long edge. Line 4 (the bottom vertex's) is not
    // drawn.
    TestImage dst(6, 5, 1);
    Count(dst, {0, 0, 0, 0, 4, 2, 0, 0, 0, 4, 0, 0});
    EXPECT_EQ(VisitMap(dst),
              (std::vector<std::string>{"100000", "111000", "111110", "111000", "000000"}));
}

TEST_F(TriangleWalkTest, TheMiddleLineIsWalkedTwiceWhenTheTopIsAboveLineZero) {
    // Top at y = -3, middle vertex on the left at line 2: the walk starts on line -2, so the
    // left side's switch sets y back from 3 to 2 and line 2 is drawn again.
    TestImage dst(8, 8, 1);
    Count(dst, {4, -3, 0, 0, 0, 2, 0, 0, 6, 6, 0, 0});
    EXPECT_EQ(VisitMap(dst),
              (std::vector<std::string>{"00111000", "00111100", "12222200", "00111100", "00011110",
                                        "00000110", "00000000", "00000000"}));
    // Moved down to start on a line of its own, no line is drawn twice.
    TestImage moved(8, 12, 1);
    Count(moved, {4, 1, 0, 0, 0, 6, 0, 0, 6, 10, 0, 0});
    for (const std::string& row : VisitMap(moved)) {
        EXPECT_EQ(row.find('2'), std::string::npos) << row;
    }
}

TEST_F(TriangleWalkTest, ASourceSizedQuadMapsTexelsOntoPixelsAndWalksItsDiagonalTwice) {
    TestImage src = CoordinateSource(4, 4);
    TestImage dst = Blank(6, 6);
    const int32_t corners[8] = {0, 0, 4, 0, 0, 4, 4, 4};
    DrawMemImgQuad(dst.get(), src.get(), corners, 0, nullptr, GetDrawState());
    EXPECT_EQ(TexelMap(dst), (std::vector<std::string>{"00 10 20 30 .. ..", "01 11 21 31 .. ..",
                                                       "02 12 22 32 .. ..", "03 13 23 33 .. ..",
                                                       ".. .. .. .. .. ..", ".. .. .. .. .. .."}));
    // The same quad adding 1: the diagonal from corner 1 to corner 2 is blended twice.
    TestImage ones(4, 4, 1);
    ones.Fill(0x000001u);
    TestImage counts(6, 6, 1);
    SetBlend(2, 255);
    DrawMemImgQuad(counts.get(), ones.get(), corners, 0, nullptr, GetDrawState());
    EXPECT_EQ(VisitMap(counts), (std::vector<std::string>{"111100", "111200", "112100", "121100",
                                                          "000000", "000000"}));
}

TEST_F(TriangleWalkTest, MirroredAndMisorderedQuads) {
    TestImage src = CoordinateSource(4, 4);
    // Mirrored left to right: u runs from 4 down, so column 0 (u = 4) is outside the source
    // and the texels land one column right of an exact mirror.
    TestImage mirrored = Blank(6, 5);
    const int32_t flipped[8] = {4, 0, 0, 0, 4, 4, 0, 4};
    DrawMemImgQuad(mirrored.get(), src.get(), flipped, 0, nullptr, GetDrawState());
    EXPECT_EQ(TexelMap(mirrored), (std::vector<std::string>{
                                      ".. 30 20 10 00 ..", ".. 31 21 11 01 ..", ".. 32 22 12 02 ..",
                                      ".. 33 23 13 03 ..", ".. .. .. .. .. .."}));
    // Corners given top-left, top-right, bottom-right, bottom-left: two overlapping triangles
    // that leave the lower left of the quad empty.
    TestImage ones(4, 4, 1);
    ones.Fill(0x000001u);
    TestImage counts(6, 5, 1);
    SetBlend(2, 255);
    const int32_t misordered[8] = {0, 0, 4, 0, 4, 4, 0, 4};
    DrawMemImgQuad(counts.get(), ones.get(), misordered, 0, nullptr, GetDrawState());
    EXPECT_EQ(VisitMap(counts),
              (std::vector<std::string>{"111100", "011120", "001220", "001220", "000000"}));
}

}  // namespace
