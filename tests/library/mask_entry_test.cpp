// The mask screen as the started library has it: after ApiInitLibrary (headless) a mask is
// asked for, shaped and switched on, a graph is drawn through it with the public draw entry,
// and the presented picture shows the graph only where the mask lets it through, on every
// drawing road (software screen, DirectDraw surfaces, the 3D device). Shutting the library down ends the mask. A mode change and
// a display change re-make the mask for the screen as it is afterwards: empty, switched on as
// before, and masking the draws that follow.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "graphics/draw_target/draw_target.h"
#include "graphics/mask/mask_screen.h"
#include "graphics/screen/screen.h"
#include "graphics/screen_setup/screen_setup.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_formats.h"
#include "platform/display/display.h"
#include "tests/support/bmp_file.h"
#include "tests/support/draw_road_table.h"

namespace {

// Every channel 0 or 255, so that any screen format holds it exactly; black on a pattern.
uint32_t SpriteColor(int x, int y) {
    if ((x + y) % 4 == 0) return 0;
    return ((x & 1) ? 0xFF0000u : 0) | ((y & 1) ? 0x00FF00u : 0x0000FFu);
}
constexpr uint32_t kYellow = 0xFFFF00;

class MaskEntryTest : public DrawRoadFixture {};

TEST_P(MaskEntryTest, AGraphDrawnThroughTheMaskShowsOnlyWhereTheMaskLetsIt) {
    WriteBmp24File(Path("sprite.bmp"), 40, 30, SpriteColor);
    WriteBmp24File(Path("yellow.bmp"), 64, 64, [](int, int) { return kYellow; });
    {
        {
            StartOnRoad();
            const int sprite = ApiLoadGraphFromPath(Path("sprite.bmp").c_str(), 0);
            const int yellow = ApiLoadGraphFromPath(Path("yellow.bmp").c_str(), 0);
            ASSERT_NE(sprite, -1);
            ASSERT_NE(yellow, -1);
            ASSERT_EQ(ApiSetDrawTarget(-2), 0);
            ASSERT_EQ(ApiClearDrawTarget(), 0);
            ASSERT_EQ(ApiDrawGraphAt(100, 100, yellow, 0), 0);

            // A mask over the left half of the sprite's place, with a hole.
            ASSERT_EQ(RequestMaskScreen(1), 0);
            ASSERT_EQ(FillMaskRect(100, 100, 120, 130, 1), 0);
            ASSERT_EQ(FillMaskRect(105, 110, 110, 115, 0), 0);
            ASSERT_EQ(SetMaskEnabled(1), 0);
            ASSERT_EQ(ApiDrawGraphAt(100, 100, sprite, 0), 0);
            ASSERT_EQ(SetMaskEnabled(0), 0);

            ASSERT_EQ(ApiPresentScreen(), 0);
            plat::ShownPicture shown;
            ASSERT_TRUE(plat::GetShownPicture(&shown, Window()));
            ASSERT_GE(shown.width, 640);
            const auto at = [&](int x, int y) { return shown.pixels[y * shown.width + x]; };
            int wrong = 0;
            for (int y = 0; y < 30; ++y) {
                for (int x = 0; x < 40; ++x) {
                    const bool hole = x >= 5 && x < 10 && y >= 10 && y < 15;
                    const bool through = x < 20 && !hole;
                    const uint32_t expected = through ? SpriteColor(x, y) : kYellow;
                    if (at(100 + x, 100 + y) != expected && ++wrong <= 3) {
                        ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex
                                      << at(100 + x, 100 + y) << " expected " << expected;
                    }
                }
            }
            EXPECT_EQ(wrong, 0);
            // Black drawn through the mask is kept.
            EXPECT_EQ(at(100, 100), 0u);

            ASSERT_EQ(ApiTermLibrary(), 0);
            EXPECT_EQ(GetMaskState().bits, nullptr);
            EXPECT_EQ(MaskScreenExists(), 0);
            ResetScreenState();
        }
    }
}

// A line of text is bracketed whole: drawn through a mask over its left half, the picture is
// the unmasked text on the left and the cleared screen on the right.
TEST_P(MaskEntryTest, TextDrawnThroughTheMaskShowsOnlyWhereTheMaskLetsIt) {
    {
        StartOnRoad();
        const auto picture = [&](bool masked) {
            EXPECT_EQ(ApiSetDrawTarget(-2), 0);
            EXPECT_EQ(ApiClearDrawTarget(), 0);
            if (masked) {
                EXPECT_EQ(SetMaskEnabled(1), 0);
            }
            EXPECT_EQ(ApiDrawTextDefaultFont(100, 200, "MWMWMWMW", ApiMakeScreenColor(255, 255, 255), 0),
                      0);
            if (masked) {
                EXPECT_EQ(SetMaskEnabled(0), 0);
            }
            EXPECT_EQ(ApiPresentScreen(), 0);
            plat::ShownPicture shown;
            EXPECT_TRUE(plat::GetShownPicture(&shown, Window()));
            std::vector<uint32_t> region;
            for (int y = 195; y < 230; ++y) {
                for (int x = 95; x < 260; ++x) region.push_back(shown.pixels[y * shown.width + x]);
            }
            return region;
        };
        const std::vector<uint32_t> plain = picture(false);
        ASSERT_EQ(RequestMaskScreen(1), 0);
        ASSERT_EQ(FillMaskRect(0, 0, 140, 480, 1), 0);
        const std::vector<uint32_t> masked = picture(true);
        int lit = 0, wrong = 0;
        for (int y = 195; y < 230; ++y) {
            for (int x = 95; x < 260; ++x) {
                const size_t i = static_cast<size_t>(y - 195) * 165 + (x - 95);
                if (x < 140 && plain[i] != 0) ++lit;
                if (masked[i] != (x < 140 ? plain[i] : 0u)) ++wrong;
            }
        }
        EXPECT_GT(lit, 0);
        EXPECT_EQ(wrong, 0);
        ASSERT_EQ(ApiTermLibrary(), 0);
        ResetScreenState();
    }
}

// The mask kept through the two ways the screen is made anew. Each way: the mask, shaped and
// switched on, comes back for the new screen's size, empty (its bytes are not kept) and still
// switched on: a draw right after leaves the picture as it was, and a draw after the mask is
// shaped again shows only where the new shape lets it through.
TEST_P(MaskEntryTest, TheMaskIsMadeAgainAfterAModeChangeAndAfterADisplayChange) {
    struct Remake {
        const char* name;
        int32_t width, height;  // the screen afterwards
        void (*run)();
    };
    const Remake remakes[] = {
        {"mode change", 800, 600, [] { ASSERT_EQ(ChangeScreenMode(800, 600, -1, 0, -1), 0); }},
        {"display change", 640, 480, [] { ASSERT_EQ(RecreateScreenAfterDisplayChange(), 0); }},
    };
    WriteBmp24File(Path("sprite.bmp"), 40, 30, SpriteColor);
    WriteBmp24File(Path("yellow.bmp"), 64, 64, [](int, int) { return kYellow; });
    const bool softwareScreen = OnSoftwareScreen();
    for (const Remake& remake : remakes) {
        {
            SCOPED_TRACE(remake.name);
            StartOnRoad();
            ASSERT_EQ(RequestMaskScreen(1), 0);
            ASSERT_EQ(FillMaskRect(0, 0, 640, 480, 1), 0);
            ASSERT_EQ(SetMaskEnabled(1), 0);

            remake.run();
            const MaskState& m = GetMaskState();
            ASSERT_NE(m.bits, nullptr);
            EXPECT_EQ(m.width, remake.width);
            EXPECT_EQ(m.height, remake.height);
            EXPECT_EQ(m.isMemImg, softwareScreen ? 1 : 0);
            EXPECT_EQ(MaskScreenExists(), 1);
            EXPECT_EQ(GetMaskEnabled(), 1);
            EXPECT_EQ(GetDrawState().maskActive, 1);
            EXPECT_EQ(GetMaskByte(10, 10), 0);
            EXPECT_EQ(GetMaskByte(remake.width - 1, remake.height - 1), 0);

            // Graphs do not outlive a mode change: loaded after it.
            const int sprite = ApiLoadGraphFromPath(Path("sprite.bmp").c_str(), 0);
            const int yellow = ApiLoadGraphFromPath(Path("yellow.bmp").c_str(), 0);
            ASSERT_NE(sprite, -1);
            ASSERT_NE(yellow, -1);
            ASSERT_EQ(SetMaskEnabled(0), 0);
            ASSERT_EQ(ApiSetDrawTarget(-2), 0);
            ASSERT_EQ(ApiClearDrawTarget(), 0);
            ASSERT_EQ(ApiDrawGraphAt(100, 100, yellow, 0), 0);
            ASSERT_EQ(SetMaskEnabled(1), 0);
            // The empty mask lets nothing through.
            ASSERT_EQ(ApiDrawGraphAt(100, 100, sprite, 0), 0);
            ASSERT_EQ(ApiPresentScreen(), 0);
            plat::ShownPicture shown;
            ASSERT_TRUE(plat::GetShownPicture(&shown, Window()));
            int wrong = 0;
            for (int y = 0; y < 30; ++y) {
                for (int x = 0; x < 40; ++x) {
                    wrong += shown.pixels[(100 + y) * shown.width + 100 + x] != kYellow;
                }
            }
            EXPECT_EQ(wrong, 0);

            // Shaped again: the left half of the sprite's place, with a hole.
            ASSERT_EQ(FillMaskRect(100, 100, 120, 130, 1), 0);
            ASSERT_EQ(FillMaskRect(105, 110, 110, 115, 0), 0);
            ASSERT_EQ(ApiDrawGraphAt(100, 100, sprite, 0), 0);
            ASSERT_EQ(SetMaskEnabled(0), 0);
            ASSERT_EQ(ApiPresentScreen(), 0);
            ASSERT_TRUE(plat::GetShownPicture(&shown, Window()));
            wrong = 0;
            for (int y = 0; y < 30; ++y) {
                for (int x = 0; x < 40; ++x) {
                    const bool hole = x >= 5 && x < 10 && y >= 10 && y < 15;
                    const uint32_t expected = x < 20 && !hole ? SpriteColor(x, y) : kYellow;
                    wrong += shown.pixels[(100 + y) * shown.width + 100 + x] != expected;
                }
            }
            EXPECT_EQ(wrong, 0);

            ASSERT_EQ(ApiTermLibrary(), 0);
            EXPECT_EQ(GetMaskState().bits, nullptr);
            ResetScreenState();
        }
    }
}

// A box fill is bracketed like every other draw: through a mask over the left half of the box
// only that half is filled.
TEST_P(MaskEntryTest, ABoxFillShowsOnlyWhereTheMaskLetsIt) {
    {
        StartOnRoad();
        ASSERT_EQ(ApiSetDrawTarget(-2), 0);
        ASSERT_EQ(ApiClearDrawTarget(), 0);
        ASSERT_EQ(RequestMaskScreen(1), 0);
        ASSERT_EQ(FillMaskRect(0, 0, 150, 480, 1), 0);
        ASSERT_EQ(SetMaskEnabled(1), 0);
        ASSERT_EQ(FillBoxSoft(100, 100, 200, 160, MakeSurfaceScreenColor(255, 0, 0)), 0);
        ASSERT_EQ(SetMaskEnabled(0), 0);
        ASSERT_EQ(ApiPresentScreen(), 0);
        plat::ShownPicture shown;
        ASSERT_TRUE(plat::GetShownPicture(&shown, Window()));
        int wrong = 0;
        for (int y = 90; y < 170; ++y) {
            for (int x = 90; x < 210; ++x) {
                const bool filled = x >= 100 && x < 150 && y >= 100 && y < 160;
                wrong += shown.pixels[y * shown.width + x] != (filled ? 0xFF0000u : 0u);
            }
        }
        EXPECT_EQ(wrong, 0);
        ASSERT_EQ(ApiTermLibrary(), 0);
        ResetScreenState();
    }
}

INSTANTIATE_ON_DRAW_ROADS(MaskEntryTest);

}  // namespace
