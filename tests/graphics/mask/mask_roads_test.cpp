// Draws through a mask screen on both roads (software screen, DirectDraw surfaces) at 16 and 32
// bits, plain and in reverse mode: where the mask lets drawing through the picture is the one
// the same draw gives without a mask, everywhere else the target keeps its old pixels. The
// sprite holds pure black pixels, which must reach the target as drawn.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/mask/mask_screen.h"
#include "tests/graphics/mask/mask_test_support.h"

namespace {

using namespace mask_test;

struct DrawCase {
    const char* name;
    int32_t blendMode, blendParam;
    int (*draw)(HandleValue sprite);
};

const DrawCase kDraws[] = {
    {"at a point, opaque", kBlendNone, 255,
     [](HandleValue g) { return BlitGraphAt(30, 20, g, 0); }},
    {"at a point, colour key left out", kBlendNone, 255,
     [](HandleValue g) { return BlitGraphAt(34, 26, g, 1); }},
    {"stretched, half blended", kBlendAlpha, 128,
     [](HandleValue g) { return BlitGraphStretched(18, 8, 66, 40, g, 0); }},
    {"rotated", kBlendNone, 255,
     [](HandleValue g) { return BlitGraphRotated(50.0f, 30.0f, 1.0, 0.5, g, 0, 0); }},
    {"partly off the screen's bottom-left", kBlendNone, 255,
     [](HandleValue g) { return BlitGraphAt(-6, 55, g, 0); }},
};

// The mask: a filled rectangle with a square hole stamped into it, and a shape partly off the
// screen's bottom-left.
void ShapeMask() {
    ASSERT_EQ(FillMaskRect(0, 0, kScreenW, kScreenH, 0), 0);
    ASSERT_EQ(FillMaskRect(60, 40, 20, 10, 1), 0);  // corners in either order
    MaskImage hole{}, corner{};
    ASSERT_EQ(MakeMaskImage(10, 10, &hole), 0);
    ASSERT_EQ(FillMaskImage(&hole, 0, 0, 10, 10, 0), 0);
    ASSERT_EQ(DrawMaskImage(40, 16, &hole, 0), 0);
    ASSERT_EQ(MakeMaskImage(12, 12, &corner), 0);
    ASSERT_EQ(FillMaskImage(&corner, 0, 0, 12, 6, 3), 0);
    ASSERT_EQ(DrawMaskImage(-4, 56, &corner, 1), 0);
    DeleteMaskImage(&hole);
    DeleteMaskImage(&corner);
}

class MaskRoadsTest : public MaskRoadFixture {
protected:
    // The picture the draw gives without a mask, on the background.
    std::vector<uint32_t> Unmasked(const DrawCase& d, HandleValue sprite) {
        WriteBack(Background());
        EXPECT_EQ(SetBlendState(d.blendMode, d.blendParam), 0);
        EXPECT_EQ(d.draw(sprite), 0);
        EXPECT_EQ(SetBlendState(kBlendNone, 255), 0);
        return ReadBack();
    }

    std::vector<uint32_t> Masked(const DrawCase& d, HandleValue sprite, bool reverse) {
        WriteBack(Background());
        EXPECT_EQ(SetMaskReverse(reverse ? 1 : 0), 0);
        EXPECT_EQ(SetMaskEnabled(1), 0);
        EXPECT_EQ(GetDrawState().maskActive, 1);
        EXPECT_EQ(SetBlendState(d.blendMode, d.blendParam), 0);
        EXPECT_EQ(d.draw(sprite), 0);
        EXPECT_EQ(SetBlendState(kBlendNone, 255), 0);
        EXPECT_EQ(SetMaskEnabled(0), 0);
        EXPECT_EQ(GetDrawState().maskActive, 0);
        return ReadBack();
    }
};

TEST_F(MaskRoadsTest, DrawingShowsOnlyWhereTheMaskLetsItThrough) {
    for (Road road : {Road::kSoftwareScreen, Road::kDirectDraw}) {
        for (int bits : {16, 32}) {
            StartRoad(road, bits);
            const HandleValue sprite = MakeSprite();
            ASSERT_EQ(RequestMaskScreen(1), 0);
            ShapeMask();
            const std::vector<uint32_t> background = Background();
            for (const DrawCase& d : kDraws) {
                const std::vector<uint32_t> unmasked = Unmasked(d, sprite);
                for (bool reverse : {false, true}) {
                    SCOPED_TRACE(std::string(RoadName(road)) + ", " + std::to_string(bits) +
                                 " bits, " + d.name + (reverse ? ", reverse" : ""));
                    const std::vector<uint32_t> masked = Masked(d, sprite, reverse);
                    int drawnThrough = 0, blackThrough = 0, mismatches = 0;
                    for (int32_t y = 0; y < kScreenH; ++y) {
                        for (int32_t x = 0; x < kScreenW; ++x) {
                            const size_t i = static_cast<size_t>(y) * kScreenW + x;
                            const bool through = Through(x, y, reverse);
                            const uint32_t expected = through ? unmasked[i] : background[i];
                            if (through && unmasked[i] != background[i]) ++drawnThrough;
                            if (through && unmasked[i] == 0) ++blackThrough;
                            if (masked[i] != expected && ++mismatches <= 3) {
                                ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex
                                              << masked[i] << " expected " << expected;
                            }
                        }
                    }
                    EXPECT_EQ(mismatches, 0);
                    // The case shows something: some drawing lands where the mask lets it.
                    EXPECT_GT(drawnThrough, 0);
                    if (d.blendMode == kBlendNone && d.draw != kDraws[1].draw) {
                        EXPECT_GT(blackThrough, 0) << "the sprite's black pixels reach the target";
                    }
                }
            }
            StopRoad();
        }
    }
}

// With a black pixel drawn opaque where the mask lets it through, the target holds black; a
// transparent-colour copy back keyed on black would leave the old pixel there.
TEST_F(MaskRoadsTest, BlackDrawnThroughTheMaskIsKept) {
    for (Road road : {Road::kSoftwareScreen, Road::kDirectDraw}) {
        for (int bits : {16, 32}) {
            SCOPED_TRACE(std::string(RoadName(road)) + ", " + std::to_string(bits) + " bits");
            StartRoad(road, bits);
            const HandleValue sprite = MakeSprite();
            ASSERT_EQ(RequestMaskScreen(1), 0);
            ASSERT_EQ(FillMaskRect(0, 0, kScreenW, kScreenH, 1), 0);
            WriteBack(Background());
            ASSERT_EQ(SetMaskEnabled(1), 0);
            ASSERT_EQ(BlitGraphAt(10, 10, sprite, 0), 0);
            ASSERT_EQ(SetMaskEnabled(0), 0);
            const std::vector<uint32_t> after = ReadBack();
            // Sprite (0, 0) is black, as are (3, 1) and (1, 2).
            for (auto [sx, sy] : {std::pair{0, 0}, std::pair{3, 1}, std::pair{1, 2}}) {
                ASSERT_EQ(SpriteValue(bits, sx, sy), 0u);
                EXPECT_EQ(after[(10 + sy) * kScreenW + 10 + sx], 0u) << sx << "," << sy;
            }
            EXPECT_EQ(after[11 * kScreenW + 11], SpriteValue(bits, 1, 1));
            StopRoad();
        }
    }
}

// A graph as the draw target: held as a software image (on a DirectDraw screen the hooks then
// lock the mask surface and convert) or as a surface, on both roads.
TEST_F(MaskRoadsTest, AGraphTargetIsMaskedAsTheScreensAre) {
    struct TargetCase {
        Road road;
        int bits;
        int32_t softImage;
    };
    const TargetCase cases[] = {
        {Road::kSoftwareScreen, 16, 1}, {Road::kSoftwareScreen, 32, 1},
        {Road::kDirectDraw, 16, 1},     {Road::kDirectDraw, 32, 1},
        {Road::kDirectDraw, 16, 0},     {Road::kDirectDraw, 32, 0},
    };
    constexpr int32_t kTargetW = 40, kTargetH = 30;
    for (const TargetCase& c : cases) {
        SCOPED_TRACE(std::string(RoadName(c.road)) + ", " + std::to_string(c.bits) + " bits" +
                     (c.softImage ? ", soft-image setting on" : ", soft-image setting off"));
        StartRoad(c.road, c.bits);
        const HandleValue sprite = MakeSprite();
        ASSERT_EQ(SetNewGraphsDrawable(1), 0);
        ASSERT_EQ(SetUseSoftImageGraph(c.softImage), 0);
        const HandleValue target = CreateBlankGraph(kTargetW, kTargetH, 1);
        ASSERT_EQ(SetNewGraphsDrawable(0), 0);
        ASSERT_EQ(SetUseSoftImageGraph(0), 0);
        ASSERT_GE(target, 0);
        const HandleValue data = DataHandleOf(target);
        // Access to the target's pixels: written with the background, read back.
        const auto access = [&](std::vector<uint32_t>* out, bool fill) {
            AccessGraphPixels(data, c.bits, kTargetW, kTargetH, out, fill);
        };
        ASSERT_EQ(SetDrawTarget(target), 0);
        std::vector<uint32_t> background, unmasked, masked;
        access(&background, true);
        ASSERT_EQ(BlitGraphAt(8, 6, sprite, 0), 0);
        access(&unmasked, false);
        access(nullptr, true);

        ASSERT_EQ(RequestMaskScreen(1), 0);
        ASSERT_EQ(FillMaskRect(0, 0, 20, kScreenH, 1), 0);
        ASSERT_EQ(SetDrawTarget(target), 0);
        ASSERT_EQ(SetMaskEnabled(1), 0);
        ASSERT_EQ(BlitGraphAt(8, 6, sprite, 0), 0);
        ASSERT_EQ(SetMaskEnabled(0), 0);
        access(&masked, false);
        int wrong = 0, drawn = 0;
        for (int32_t y = 0; y < kTargetH; ++y) {
            for (int32_t x = 0; x < kTargetW; ++x) {
                const size_t i = static_cast<size_t>(y) * kTargetW + x;
                const uint32_t expected = x < 20 ? unmasked[i] : background[i];
                if (x < 20 && unmasked[i] != background[i]) ++drawn;
                if (masked[i] != expected) ++wrong;
            }
        }
        EXPECT_GT(drawn, 0);
        EXPECT_EQ(wrong, 0);
        ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
        StopRoad();
    }
}

TEST_F(MaskRoadsTest, AZeroedMaskLeavesTheTargetUnchanged) {
    for (Road road : {Road::kSoftwareScreen, Road::kDirectDraw}) {
        SCOPED_TRACE(RoadName(road));
        StartRoad(road, 16);
        const HandleValue sprite = MakeSprite();
        ASSERT_EQ(RequestMaskScreen(1), 0);
        WriteBack(Background());
        ASSERT_EQ(SetMaskEnabled(1), 0);
        EXPECT_EQ(BlitGraphAt(5, 5, sprite, 0), 0);
        EXPECT_EQ(BlitGraphRotated(40.0f, 30.0f, 2.0, 1.0, sprite, 0, 0), 0);
        ASSERT_EQ(SetMaskEnabled(0), 0);
        EXPECT_EQ(ReadBack(), Background());
        StopRoad();
    }
}

TEST_F(MaskRoadsTest, WithoutAMaskBitmapTheSwitchIsRefusedAndDrawsTakeTheirNormalPaths) {
    StartRoad(Road::kSoftwareScreen, 16);
    const HandleValue sprite = MakeSprite();
    EXPECT_EQ(SetMaskEnabled(1), -1);
    EXPECT_EQ(GetDrawState().maskActive, 0);
    EXPECT_EQ(GetMaskEnabled(), 0);
    WriteBack(Background());
    ASSERT_EQ(BlitGraphAt(0, 0, sprite, 0), 0);
    EXPECT_EQ(ReadBack()[1 * kScreenW + 1], SpriteValue(16, 1, 1));
}

TEST_F(MaskRoadsTest, HooksOnARectangleOutsideTheDrawAreaDoNothing) {
    for (Road road : {Road::kSoftwareScreen, Road::kDirectDraw}) {
        SCOPED_TRACE(RoadName(road));
        StartRoad(road, 32);
        ASSERT_EQ(RequestMaskScreen(1), 0);
        ASSERT_EQ(FillMaskRect(0, 0, kScreenW, kScreenH, 1), 0);
        WriteBack(Background());
        ASSERT_EQ(SetMaskEnabled(1), 0);
        ASSERT_EQ(SetDrawAreaRect(0, 0, 40, 30), 0);
        // The mask screen is blank: a hook that copied anything back would blank the target.
        EXPECT_EQ(EndMaskBracket(RECT{50, 40, 90, 60}), 0);
        EXPECT_EQ(BeginMaskBracket(RECT{-20, -20, -1, -1}), 0);
        EXPECT_EQ(EndMaskBracket(RECT{-20, -20, -1, -1}), 0);
        ASSERT_EQ(SetMaskEnabled(0), 0);
        EXPECT_EQ(ReadBack(), Background());
        StopRoad();
    }
}

}  // namespace
