// Box fills through a mask screen, and masked draws on a graph target larger than the screen
// (and so than the mask): on both roads and at 16 and 32 bits, where the mask lets drawing
// through the picture is the one the same draw gives without a mask, everywhere else the
// target keeps its old pixels. Beyond the mask's reach there are no mask bytes to let drawing
// through: the target keeps its pixels there, and the draw itself succeeds.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "graphics/draw_graph/draw_graph.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/mask/mask_screen.h"
#include "tests/graphics/mask/mask_test_support.h"

namespace {

using namespace mask_test;

struct RoadCase {
    Road road;
    int bits;
};
const RoadCase kRoads[] = {{Road::kSoftwareScreen, 16},
                           {Road::kSoftwareScreen, 32},
                           {Road::kDirectDraw, 16},
                           {Road::kDirectDraw, 32}};

std::string Describe(const RoadCase& c) {
    return std::string(RoadName(c.road)) + ", " + std::to_string(c.bits) + " bits";
}

uint32_t FillColour(int bits) { return bits == 16 ? 0xF81Fu : 0x00C03070u; }

class MaskBoxFillTest : public MaskRoadFixture {
protected:
    // Compares a masked picture with the unmasked one over the background: pixel i must be the
    // unmasked one where through(x, y), else the background. Counts the pixels the draw changed
    // where the mask lets it through.
    static void ExpectMasked(const std::vector<uint32_t>& background,
                             const std::vector<uint32_t>& unmasked,
                             const std::vector<uint32_t>& masked, int32_t width, int32_t height,
                             const std::function<bool(int32_t, int32_t)>& through,
                             bool expectDrawn) {
        int wrong = 0, drawn = 0;
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const size_t i = static_cast<size_t>(y) * width + x;
                const bool shows = through(x, y);
                if (shows && unmasked[i] != background[i]) ++drawn;
                const uint32_t expected = shows ? unmasked[i] : background[i];
                if (masked[i] != expected && ++wrong <= 3) {
                    ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << masked[i]
                                  << " expected " << expected;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        if (expectDrawn) {
            EXPECT_GT(drawn, 0);
        } else {
            EXPECT_EQ(drawn, 0);
        }
    }
};

TEST_F(MaskBoxFillTest, ABoxFillShowsOnlyWhereTheMaskLetsItThrough) {
    struct MaskCase {
        const char* name;
        bool shaped;  // false: the mask stays zeroed and lets nothing through
        bool reverse;
    };
    const MaskCase masks[] = {{"shaped", true, false},
                              {"shaped, reverse", true, true},
                              {"zeroed", false, false}};
    for (const RoadCase& c : kRoads) {
        for (const MaskCase& mc : masks) {
            SCOPED_TRACE(Describe(c) + ", " + mc.name);
            StartRoad(c.road, c.bits);
            const auto fill = [&] {
                EXPECT_EQ(FillBoxSoft(70, 50, 10, 8, FillColour(c.bits)), 0);  // any corner order
            };
            const std::vector<uint32_t> background = Background();
            WriteBack(background);
            fill();
            const std::vector<uint32_t> unmasked = ReadBack();

            ASSERT_EQ(RequestMaskScreen(1), 0);
            if (mc.shaped) {
                ASSERT_EQ(FillMaskRect(0, 0, 40, kScreenH, 1), 0);
                ASSERT_EQ(FillMaskRect(20, 20, 30, 30, 0), 0);
            }
            ASSERT_EQ(SetMaskReverse(mc.reverse ? 1 : 0), 0);
            WriteBack(background);
            ASSERT_EQ(SetMaskEnabled(1), 0);
            fill();
            ASSERT_EQ(SetMaskEnabled(0), 0);
            ExpectMasked(background, unmasked, ReadBack(), kScreenW, kScreenH,
                         [&](int32_t x, int32_t y) { return Through(x, y, mc.reverse); },
                         mc.shaped);
            StopRoad();
        }
    }
}

// A graph target larger than the screen: the mask covers its top-left screen-sized part.
// Masked draws reaching past it succeed; past the mask the target keeps its pixels.
TEST_F(MaskBoxFillTest, MaskedDrawsOnAGraphTargetLargerThanTheScreen) {
    constexpr int32_t kTargetW = kScreenW + 40, kTargetH = kScreenH + 30;
    struct DrawCase {
        const char* name;
        std::function<int(HandleValue sprite, int bits)> draw;
    };
    const DrawCase draws[] = {
        {"box fill over the whole target",
         [](HandleValue, int bits) {
             return FillBoxSoft(0, 0, kTargetW, kTargetH, FillColour(bits));
         }},
        {"sprite across the mask's corner",
         [](HandleValue sprite, int) {
             return BlitGraphAt(kScreenW - 10, kScreenH - 6, sprite, 0);
         }},
        {"sprite wholly inside the mask",
         [](HandleValue sprite, int) { return BlitGraphAt(4, 4, sprite, 1); }},
    };
    for (const RoadCase& c : kRoads) {
        for (int32_t softImage : {1, 0}) {
            if (c.road == Road::kSoftwareScreen && softImage == 0) continue;
            for (const DrawCase& d : draws) {
                SCOPED_TRACE(Describe(c) + (softImage ? ", soft image" : ", surface") + ", " +
                             d.name);
                StartRoad(c.road, c.bits);
                const HandleValue sprite = MakeSprite();
                ASSERT_EQ(SetNewGraphsDrawable(1), 0);
                ASSERT_EQ(SetUseSoftImageGraph(softImage), 0);
                const HandleValue target = CreateBlankGraph(kTargetW, kTargetH, 1);
                ASSERT_EQ(SetNewGraphsDrawable(0), 0);
                ASSERT_EQ(SetUseSoftImageGraph(0), 0);
                ASSERT_GE(target, 0);
                const HandleValue data = DataHandleOf(target);
                const auto access = [&](std::vector<uint32_t>* out, bool fill) {
                    AccessGraphPixels(data, c.bits, kTargetW, kTargetH, out, fill);
                };
                ASSERT_EQ(SetDrawTarget(target), 0);
                std::vector<uint32_t> background, unmasked, masked;
                access(&background, true);
                ASSERT_EQ(d.draw(sprite, c.bits), 0);
                access(&unmasked, false);
                access(nullptr, true);

                ASSERT_EQ(RequestMaskScreen(1), 0);
                ASSERT_EQ(FillMaskRect(0, 0, kScreenW, kScreenH, 1), 0);
                ASSERT_EQ(FillMaskRect(kScreenW - 6, kScreenH - 4, kScreenW, kScreenH, 0), 0);
                ASSERT_EQ(SetDrawTarget(target), 0);
                ASSERT_EQ(SetMaskEnabled(1), 0);
                EXPECT_EQ(d.draw(sprite, c.bits), 0);
                ASSERT_EQ(SetMaskEnabled(0), 0);
                access(&masked, false);
                ExpectMasked(background, unmasked, masked, kTargetW, kTargetH,
                             [](int32_t x, int32_t y) {
                                 return x < kScreenW && y < kScreenH && Through(x, y, false);
                             },
                             true);
                ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
                StopRoad();
            }
        }
    }
}

}  // namespace
