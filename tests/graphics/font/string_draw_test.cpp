// The walk of a string through the glyph cache into a software image: measure and draw agree,
// vertical text is horizontal text turned 90° clockwise, spacing, clipping, the transparent
// switch, and the pixels of the edged and antialiased types.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/graphics/font/font_test_support.h"

namespace {

using StringDrawTest = FontFixture;

constexpr uint32_t kWhite565 = 0xFFFF;
constexpr uint32_t kRed565 = 0xF800;

// "Aソ" with the trail byte 0x5C of ソ, and a half-width and a full-width space.
const char* const kMixed = "A\x83\x5C \x81\x40g";

int Draw(TextCanvas& canvas, HandleValue font, const char* text, int32_t x, int32_t y,
         int vertical, uint32_t colour = kWhite565, uint32_t edge = kRed565, int transparent = 1,
         const RECT* clip = nullptr) {
    const RECT all{0, 0, canvas.image.width, canvas.image.height};
    return DrawCachedString(1, x, y, 0, 1.0, 1.0, text, colour, &canvas.image,
                            clip != nullptr ? clip : &all, transparent, font, edge, -1, vertical,
                            nullptr);
}

StringSize Measure(HandleValue font, const char* text, int vertical) {
    StringSize size{};
    DrawCachedString(0, 0, 0, 0, 1.0, 1.0, text, 0, nullptr, nullptr, 1, font, 0, -1, vertical,
                     &size);
    return size;
}

TEST_F(StringDrawTest, WhatIsDrawnLiesInsideTheMeasuredLine) {
    for (int32_t type : {0, 1, 2, 3}) {
        for (int vertical : {0, 1}) {
            SCOPED_TRACE(type * 10 + vertical);
            const HandleValue font = CreateFontToHandle(nullptr, 16, 6, type, -1, -1, 0, -1, -1);
            ASSERT_GE(font, 0);
            const StringSize size = Measure(font, kMixed, vertical);
            TextCanvas canvas(160, 160, type >= 2 ? MEMIMG_FORMAT_32 : MEMIMG_FORMAT_565);
            EXPECT_EQ(Draw(canvas, font, kMixed, 10, 20, vertical), vertical ? size.height : size.width);
            const RECT ink = canvas.Ink();
            ASSERT_LT(ink.left, ink.right);
            EXPECT_GE(ink.left, 10);
            EXPECT_GE(ink.top, 20);
            EXPECT_LE(ink.right, 10 + size.width);
            EXPECT_LE(ink.bottom, 20 + size.height);
            const int32_t line = GetFontRecord(font)->lineHeight;
            EXPECT_EQ(vertical ? size.width : size.height, line);
            DestroyFont(font);
        }
    }
}

TEST_F(StringDrawTest, TheTrailByte5CBelongsToItsCharacter) {
    const HandleValue font = GetDefaultFontHandle();
    // ソ is one full-width character: as wide as あ, and not ソ's lead byte plus a backslash.
    EXPECT_EQ(Measure(font, "\x83\x5C", 0).width, Measure(font, "\x82\xA0", 0).width);
    EXPECT_EQ(Measure(font, "A\x83\x5C", 0).width,
              Measure(font, "A", 0).width + Measure(font, "\x82\xA0", 0).width);
}

TEST_F(StringDrawTest, VerticalTextIsHorizontalTextTurnedClockwise) {
    for (int32_t type : {0, 1}) {
        SCOPED_TRACE(type);
        const HandleValue font = CreateFontToHandle(nullptr, 16, 6, type, -1, -1, 0, -1, -1);
        const int32_t line = GetFontRecord(font)->lineHeight;
        const StringSize size = Measure(font, "F\x83\x5C", 0);
        TextCanvas across(size.width, line), down(line, size.width);
        Draw(across, font, "F\x83\x5C", 0, 0, 0);
        Draw(down, font, "F\x83\x5C", 0, 0, 1);
        EXPECT_LT(across.Ink().left, across.Ink().right);
        for (int32_t y = 0; y < line; ++y) {
            for (int32_t x = 0; x < size.width; ++x) {
                ASSERT_EQ(down.At(line - 1 - y, x), across.At(x, y)) << x << ", " << y;
            }
        }
        DestroyFont(font);
    }
}

TEST_F(StringDrawTest, SpacingWidensEveryAdvance) {
    const HandleValue font = CreateFontToHandle(nullptr, 16, 6, 0, -1, -1, 0, -1, -1);
    const int32_t plain = Measure(font, "ab\x83\x5C", 0).width;
    ASSERT_EQ(SetFontSpacing(2, font), 0);
    EXPECT_EQ(Measure(font, "ab\x83\x5C", 0).width, plain + 3 * 2);
    EXPECT_EQ(Measure(font, "ab\x83\x5C", 1).height, plain + 3 * 2);
    TextCanvas canvas(80, 24);
    EXPECT_EQ(Draw(canvas, font, "ab\x83\x5C", 0, 0, 0), plain + 3 * 2);
}

TEST_F(StringDrawTest, EdgedTextIsRingedByTheEdgeColour) {
    const HandleValue font = CreateFontToHandle(nullptr, 16, 6, 1, -1, -1, 0, -1, -1);
    TextCanvas canvas(80, 24);
    Draw(canvas, font, "H\x83\x5C", 2, 2, 0);
    int text = 0, edge = 0;
    for (int32_t y = 1; y + 1 < 24; ++y) {
        for (int32_t x = 1; x + 1 < 80; ++x) {
            const uint32_t v = canvas.At(x, y);
            ASSERT_TRUE(v == 0 || v == kWhite565 || v == kRed565) << v;
            text += v == kWhite565;
            edge += v == kRed565;
            if (v != kWhite565) continue;
            for (auto [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
                EXPECT_NE(canvas.At(x + dx, y + dy), 0u) << x << ", " << y;
            }
        }
    }
    EXPECT_GT(text, 20);
    EXPECT_GT(edge, 20);
}

TEST_F(StringDrawTest, AntialiasedTypesCarryTheirCoverageAsAlpha) {
    // Into a 32-bit image with alpha, as onto the font drawing screen.
    const uint32_t white = 0xFFFFFF, red = 0xFF0000;
    struct Seen {
        std::set<uint32_t> alphas;
        std::set<uint32_t> colours;
    };
    auto scan = [&](int32_t type) {
        const HandleValue font = CreateFontToHandle(nullptr, 16, 6, type, -1, -1, 0, -1, -1);
        TextCanvas canvas(64, 24, MEMIMG_FORMAT_32);
        ReleaseMemImg(&canvas.image);
        InitMemImgPlain(&canvas.image, 64, 24, MEMIMG_FORMAT_32);
        MEMIMG alpha{};
        CreateMemImg(&alpha, 64, 24, -1, 0, MEMIMG_FORMAT_32, 0, 1);
        std::memset(alpha.pixels, 0, static_cast<size_t>(alpha.pitch) * 24);
        const RECT all{0, 0, 64, 24};
        DrawCachedString(1, 0, 0, 0, 1.0, 1.0, "W\x83\x5C", white, &alpha, &all, 1, font, red, -1,
                         0, nullptr);
        Seen seen;
        for (int32_t y = 0; y < 24; ++y) {
            for (int32_t x = 0; x < 64; ++x) {
                uint32_t v = 0;
                std::memcpy(&v, alpha.pixels + y * alpha.pitch + x * 4, 4);
                if (v == 0) continue;
                seen.alphas.insert(v >> 24);
                seen.colours.insert(v & 0xFFFFFF);
            }
        }
        ReleaseMemImg(&alpha);
        DestroyFont(font);
        return seen;
    };
    const Seen plain = scan(2);
    EXPECT_EQ(plain.colours, std::set<uint32_t>{white});
    EXPECT_GT(plain.alphas.size(), 3u);
    for (uint32_t a : plain.alphas) EXPECT_EQ(a % 16, 0u) << a;
    EXPECT_EQ(*plain.alphas.rbegin(), 240u);

    const Seen edged = scan(3);
    EXPECT_TRUE(edged.colours.count(white));
    EXPECT_TRUE(edged.colours.count(red));
    EXPECT_GT(edged.colours.size(), 2u);  // text and edge mixed where the glyph is partly covered
    EXPECT_TRUE(edged.alphas.count(255));
}

TEST_F(StringDrawTest, ClippingAndTheTransparentSwitch) {
    const HandleValue font = GetDefaultFontHandle();
    const StringSize size = Measure(font, "MM", 0);
    TextCanvas canvas(40, 20);
    std::fill(reinterpret_cast<uint16_t*>(canvas.image.pixels),
              reinterpret_cast<uint16_t*>(canvas.image.pixels + canvas.image.pitch * 20), 0x1234);
    const RECT clip{0, 0, size.width / 2, 20};
    Draw(canvas, font, "MM", 0, 0, 0, kWhite565, 0, 0, &clip);
    // Left of the clip: the glyph's cells written whole (0 where empty); right of it: nothing.
    bool zero = false, white = false;
    for (int32_t y = 0; y < 20; ++y) {
        for (int32_t x = 0; x < 40; ++x) {
            const uint32_t v = canvas.At(x, y);
            if (x >= clip.right) {
                ASSERT_EQ(v, 0x1234u) << x << ", " << y;
            }
            zero |= v == 0;
            white |= v == kWhite565;
        }
    }
    EXPECT_TRUE(zero);
    EXPECT_TRUE(white);
    // Drawn past the image's edges: nothing is written outside it.
    TextCanvas small(8, 8);
    Draw(small, font, kMixed, -5, -7, 0);
    Draw(small, font, kMixed, 3, 2, 1);
    EXPECT_EQ(Draw(small, font, "", 0, 0, 0), 0);
}

TEST_F(StringDrawTest, ABadFontHandleIsRefused) {
    TextCanvas canvas(8, 8);
    EXPECT_EQ(Draw(canvas, 0x20000005, "A", 0, 0, 0), -1);
    EXPECT_EQ(Draw(canvas, -1, "A", 0, 0, 0), -1);
}

}  // namespace
