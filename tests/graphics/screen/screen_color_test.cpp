// Screen colours: a colour made in the display's format (with the bits no channel uses), in
// the standard format of a software screen, and as the nearest entry of an 8-bit palette; and
// the way back from a screen value to 0..255 channels.
#include <gtest/gtest.h>

#include <cstring>

#include "softrender/records/color_format.h"
#include "graphics/screen/screen.h"

namespace {

class ScreenColorTest : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() { std::memset(&GetScreenState(), 0, sizeof(ScreenState)); }

    // A hardware screen whose display has this format.
    static void HardwareScreen(int bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
        ScreenState& s = GetScreenState();
        BuildColorFormat(&s.screenFormat, bits, r, g, b, a);
        s.displayDepth = bits;
        s.screenDepth = bits;
    }
};

struct ColorCase {
    const char* name;
    int bits;
    uint32_t maskR, maskG, maskB;
    int r, g, b;
    uint32_t expected;
};

TEST_F(ScreenColorTest, AColourInTheDisplaysFormatCarriesTheUnusedBits) {
    const ColorCase cases[] = {
        // X8R8G8B8: the top byte belongs to no channel and is set.
        {"32-bit white", 32, 0xFF0000, 0xFF00, 0xFF, 255, 255, 255, 0xFFFFFFFFu},
        {"32-bit black", 32, 0xFF0000, 0xFF00, 0xFF, 0, 0, 0, 0xFF000000u},
        {"32-bit mixed", 32, 0xFF0000, 0xFF00, 0xFF, 0x12, 0x34, 0x56, 0xFF123456u},
        // 5-6-5 keeps the top bits of each channel; every bit is used.
        {"565 white", 16, 0xF800, 0x7E0, 0x1F, 255, 255, 255, 0xFFFFu},
        {"565 lowest steps", 16, 0xF800, 0x7E0, 0x1F, 8, 4, 8, 0x0821u},
        {"565 below the steps", 16, 0xF800, 0x7E0, 0x1F, 7, 3, 7, 0x0000u},
        // 5-5-5: the top bit is unused and set.
        {"555 red", 16, 0x7C00, 0x3E0, 0x1F, 255, 0, 0, 0xFC00u},
        {"555 black", 16, 0x7C00, 0x3E0, 0x1F, 0, 0, 0, 0x8000u},
        // Channels are taken modulo 256.
        {"565 out of range", 16, 0xF800, 0x7E0, 0x1F, 256 + 255, -256, 0, 0xF800u},
    };
    for (const ColorCase& c : cases) {
        SCOPED_TRACE(c.name);
        HardwareScreen(c.bits, c.maskR, c.maskG, c.maskB, 0);
        EXPECT_EQ(MakeScreenColor(c.r, c.g, c.b), c.expected);
    }
}

TEST_F(ScreenColorTest, ASoftwareScreenUsesTheStandardFormatOfItsDepth) {
    ScreenState& s = GetScreenState();
    s.softwareScreen = 1;
    s.noDirectDraw = 1;
    // The display's own format is ignored on a software screen.
    BuildColorFormat(&s.screenFormat, 16, 0x7C00, 0x3E0, 0x1F, 0);
    s.displayDepth = 16;
    EXPECT_EQ(MakeScreenColor(255, 0, 0), 0xF800u);
    EXPECT_EQ(MakeScreenColor(0, 255, 0), 0x07E0u);
    s.displayDepth = 32;
    EXPECT_EQ(MakeScreenColor(0x12, 0x34, 0x56) & 0xFFFFFF, 0x123456u);
}

TEST_F(ScreenColorTest, AnEightBitScreenTakesTheNearestPaletteEntryFirstOfEquals) {
    ScreenState& s = GetScreenState();
    s.displayDepth = 8;
    for (int i = 0; i < 256; ++i) s.paletteEntries[i] = {255, 255, 255, 0};
    s.paletteEntries[3] = {10, 20, 30, 0};
    s.paletteEntries[7] = {10, 20, 30, 0};
    s.paletteEntries[9] = {200, 0, 0, 0};
    EXPECT_EQ(MakeScreenColor(10, 20, 30), 3u);
    EXPECT_EQ(MakeScreenColor(12, 18, 33), 3u);
    EXPECT_EQ(MakeScreenColor(190, 10, 5), 9u);
    EXPECT_EQ(MakeScreenColor(250, 250, 250), 0u);

    int32_t r = -1, g = -1, b = -1;
    EXPECT_EQ(GetScreenColorRGB(9, &r, &g, &b), 0);
    EXPECT_EQ(r, 200);
    EXPECT_EQ(g, 0);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(GetScreenColorRGB(256, &r, &g, &b), -1);
}

TEST_F(ScreenColorTest, ScreenValuesGoBackToFullRangeChannels) {
    struct Back {
        const char* name;
        int bits;
        uint32_t maskR, maskG, maskB;
        uint32_t value;
        int r, g, b;
    };
    const Back cases[] = {
        {"565 white", 16, 0xF800, 0x7E0, 0x1F, 0xFFFF, 255, 255, 255},
        {"565 lowest steps", 16, 0xF800, 0x7E0, 0x1F, 0x0821, 8, 4, 8},
        {"555 with the unused bit", 16, 0x7C00, 0x3E0, 0x1F, 0xFC00, 255, 0, 0},
        {"32-bit", 32, 0xFF0000, 0xFF00, 0xFF, 0xFF123456u, 0x12, 0x34, 0x56},
        {"no blue channel", 16, 0xF800, 0x7E0, 0, 0xFFFF, 255, 255, 0},
    };
    for (const Back& c : cases) {
        SCOPED_TRACE(c.name);
        HardwareScreen(c.bits, c.maskR, c.maskG, c.maskB, 0);
        int32_t r = -1, g = -1, b = -1;
        EXPECT_EQ(GetScreenColorRGB(c.value, &r, &g, &b), 0);
        EXPECT_EQ(r, c.r);
        EXPECT_EQ(g, c.g);
        EXPECT_EQ(b, c.b);
        // Any output may be left out.
        EXPECT_EQ(GetScreenColorRGB(c.value, nullptr, nullptr, nullptr), 0);
    }
}

}  // namespace
