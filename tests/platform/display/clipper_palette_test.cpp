// The windowed primary with a clipper bound to the window: Blt lands only in the client area,
// scaled as the whole destination rectangle asks; and 8-bit palettes.
#include <gtest/gtest.h>

#include "tests/platform/display/display_fixture.h"

namespace {

using plat::DD_OK;
using plat::Rect;

class ClipperTest : public DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_NORMAL), DD_OK);
        primary_ = MakePrimary();
        ASSERT_NE(primary_, nullptr);
        ASSERT_EQ(dd_->CreateClipper(0, &clipper_), DD_OK);
        ASSERT_EQ(clipper_->SetHWnd(0, window_), DD_OK);
        // Around the window: a frame of known pixels on the desktop (as far as the Blts reach).
        const Rect around{kLeft - 80, kTop - 40, kLeft + kWidth + 40, kTop + kHeight + 40};
        Paint(primary_, &around, [](int32_t, int32_t) { return 0x00777777u; });
    }
    void TearDown() override {
        if (clipper_ != nullptr) clipper_->Release();
        DisplayFixture::TearDown();
    }

    plat::DrawSurface* primary_ = nullptr;
    plat::DrawClipper* clipper_ = nullptr;
};

TEST_F(ClipperTest, TheWindowedPrimaryIsTheDesktop) {
    plat::SurfaceDesc d;
    ASSERT_EQ(primary_->GetSurfaceDesc(&d), DD_OK);
    EXPECT_EQ(d.width, 1920u);
    EXPECT_EQ(d.height, 1080u);
    Rect clip{};
    ASSERT_EQ(clipper_->GetClipRect(&clip), DD_OK);
    EXPECT_EQ(clip.left, kLeft);
    EXPECT_EQ(clip.top, kTop);
    EXPECT_EQ(clip.right, kLeft + kWidth);
    EXPECT_EQ(clip.bottom, kTop + kHeight);
    // The window's picture is its client area of the desktop.
    Paint(primary_, nullptr, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x * 4096 + y); });
    const plat::ShownPicture shown = Shown();
    ASSERT_EQ(shown.width, kWidth);
    ASSERT_EQ(shown.height, kHeight);
    EXPECT_EQ(At(shown, 0, 0), static_cast<uint32_t>(kLeft * 4096 + kTop));
    EXPECT_EQ(At(shown, 319, 239), static_cast<uint32_t>((kLeft + 319) * 4096 + kTop + 239));
}

TEST_F(ClipperTest, ABltOntoThePrimaryLandsOnlyInTheClientArea) {
    plat::DrawSurface* back = MakePlain(64, 48);
    Paint(back, nullptr, [](int32_t x, int32_t y) { return static_cast<uint32_t>(0x10000 + x * 256 + y); });
    ASSERT_EQ(primary_->SetClipper(clipper_), DD_OK);

    struct Case {
        const char* what;
        Rect dest;  // desktop coordinates, each reaching out of the client area
    } cases[] = {
        {"over the top left corner", {kLeft - 10, kTop - 8, kLeft + 54, kTop + 40}},
        {"over the bottom right corner",
         {kLeft + kWidth - 30, kTop + kHeight - 20, kLeft + kWidth + 34, kTop + kHeight + 28}},
        {"stretched twice over the left edge", {kLeft - 64, kTop + 10, kLeft + 64, kTop + 106}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Rect around{kLeft - 80, kTop - 40, kLeft + kWidth + 40, kTop + kHeight + 40};
        Paint(primary_, &around, [](int32_t, int32_t) { return 0x00777777u; });
        ASSERT_EQ(primary_->Blt(&c.dest, back, nullptr, plat::DDBLT_WAIT, nullptr), DD_OK);
        const int64_t dw = c.dest.right - c.dest.left, dh = c.dest.bottom - c.dest.top;
        for (int32_t y = c.dest.top; y < c.dest.bottom; ++y) {
            for (int32_t x = c.dest.left; x < c.dest.right; ++x) {
                const bool inside = x >= kLeft && x < kLeft + kWidth && y >= kTop &&
                                    y < kTop + kHeight;
                const int64_t sx = (x - c.dest.left) * 64 / dw, sy = (y - c.dest.top) * 48 / dh;
                const uint32_t want =
                    inside ? static_cast<uint32_t>(0x10000 + sx * 256 + sy) : 0x777777u;
                ASSERT_EQ(PixelOf(primary_, x, y), want) << x << "," << y;
            }
        }
    }
    // A destination wholly outside the client area draws nothing and is no error.
    const Rect away{0, 0, 64, 48};
    EXPECT_EQ(primary_->Blt(&away, back, nullptr, plat::DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(PixelOf(primary_, 10, 10), 0u);
}

TEST_F(ClipperTest, FillsAreClippedAndWithoutAClipperTheSurfaceRulesHold) {
    ASSERT_EQ(primary_->SetClipper(clipper_), DD_OK);
    plat::BltFx fx{0x00ABCDEF, 0};
    const Rect over{kLeft - 5, kTop - 5, kLeft + 5, kTop + 5};
    ASSERT_EQ(primary_->Blt(&over, nullptr, nullptr, plat::DDBLT_COLORFILL | plat::DDBLT_WAIT, &fx),
              DD_OK);
    EXPECT_EQ(PixelOf(primary_, kLeft - 1, kTop - 1), 0x777777u);
    EXPECT_EQ(PixelOf(primary_, kLeft, kTop), 0xABCDEFu);
    EXPECT_EQ(PixelOf(primary_, kLeft + 4, kTop + 4), 0xABCDEFu);
    EXPECT_EQ(At(Shown(), 0, 0), 0xABCDEFu);

    plat::DrawClipper* got = nullptr;
    ASSERT_EQ(primary_->GetClipper(&got), DD_OK);
    EXPECT_EQ(got, clipper_);
    got->Release();
    ASSERT_EQ(primary_->SetClipper(nullptr), DD_OK);
    EXPECT_EQ(primary_->SetClipper(nullptr), plat::DDERR_NOCLIPPERATTACHED);
    const Rect outside{-5, 0, 5, 5};
    EXPECT_EQ(primary_->Blt(&outside, nullptr, nullptr, plat::DDBLT_COLORFILL, &fx),
              plat::DDERR_INVALIDRECT);
    plat::DrawClipper* lone = nullptr;
    ASSERT_EQ(dd_->CreateClipper(0, &lone), DD_OK);
    Rect r{};
    EXPECT_EQ(lone->GetClipRect(&r), plat::DDERR_NOHWND);
    EXPECT_EQ(lone->SetHWnd(0, window_ + 0x10000), plat::DDERR_INVALIDPARAMS);
    EXPECT_EQ(lone->SetHWnd(1, window_), plat::DDERR_INVALIDPARAMS);
    lone->Release();
}

using PaletteTest = DisplayFixture;

TEST_F(PaletteTest, EntriesGoInAndOutAndOnlyEightBitSurfacesTakeThem) {
    plat::PaletteEntry start[256];
    for (int i = 0; i < 256; ++i) {
        start[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 7, 0};
    }
    plat::DrawPalette* palette = nullptr;
    EXPECT_EQ(dd_->CreatePalette(0, start, &palette), plat::DDERR_INVALIDPARAMS);
    ASSERT_EQ(dd_->CreatePalette(plat::DDPCAPS_8BIT, start, &palette), DD_OK);

    plat::PaletteEntry got[256] = {};
    ASSERT_EQ(palette->GetEntries(0, 0, 256, got), DD_OK);
    EXPECT_EQ(got[200].red, 200);
    EXPECT_EQ(got[200].green, 55);
    const plat::PaletteEntry two[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    ASSERT_EQ(palette->SetEntries(0, 254, 2, two), DD_OK);
    ASSERT_EQ(palette->GetEntries(0, 253, 3, got), DD_OK);
    EXPECT_EQ(got[0].red, 253);
    EXPECT_EQ(got[1].blue, 3);
    EXPECT_EQ(got[2].green, 5);

    struct Range {
        uint32_t flags, start, count;
    } bad[] = {{0, 255, 2}, {0, 256, 1}, {0, 0xFFFFFFFFu, 2}, {1, 0, 1}};
    for (const Range& r : bad) {
        EXPECT_EQ(palette->SetEntries(r.flags, r.start, r.count, two), plat::DDERR_INVALIDPARAMS);
        EXPECT_EQ(palette->GetEntries(r.flags, r.start, r.count, got), plat::DDERR_INVALIDPARAMS);
    }

    plat::PixelFormat eight = {};
    eight.size = sizeof eight;
    eight.flags = plat::DDPF_RGB | plat::DDPF_PALETTEINDEXED8;
    eight.bitCount = 8;
    plat::SurfaceDesc d = {};
    d.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
    d.width = d.height = 4;
    d.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_SYSTEMMEMORY;
    d.pixelFormat = eight;
    plat::DrawSurface* indexed = nullptr;
    ASSERT_EQ(dd_->CreateSurface(&d, &indexed), DD_OK);
    Keep(indexed);
    plat::DrawSurface* rgb = MakePlain(4, 4);

    EXPECT_EQ(rgb->SetPalette(palette), plat::DDERR_NOTPALETTIZED);
    plat::DrawPalette* none = nullptr;
    EXPECT_EQ(indexed->GetPalette(&none), plat::DDERR_NOPALETTEATTACHED);
    ASSERT_EQ(indexed->SetPalette(palette), DD_OK);
    // The surface keeps the palette alive.
    EXPECT_EQ(palette->Release(), 1u);
    plat::DrawPalette* back = nullptr;
    ASSERT_EQ(indexed->GetPalette(&back), DD_OK);
    ASSERT_EQ(back->GetEntries(0, 255, 1, got), DD_OK);
    EXPECT_EQ(got[0].red, 4);
    back->Release();
    ASSERT_EQ(indexed->SetPalette(nullptr), DD_OK);
    EXPECT_EQ(indexed->SetPalette(nullptr), plat::DDERR_NOPALETTEATTACHED);
}

}  // namespace
