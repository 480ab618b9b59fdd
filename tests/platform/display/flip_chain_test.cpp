// The full-screen primary: a flip chain with one back buffer, flips with and without the wait
// for the vertical blank, the GDI surface, and what the display shows after each.
#include <gtest/gtest.h>

#include "tests/platform/display/display_fixture.h"

namespace {

using plat::DD_OK;

class FlipChainTest : public DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN),
                  DD_OK);
        ASSERT_EQ(dd_->SetDisplayMode(640, 480, 32, 0, 0), DD_OK);
        front_ = MakeFlipChain();
        ASSERT_NE(front_, nullptr);
        plat::SurfaceCaps caps{plat::DDSCAPS_BACKBUFFER, 0};
        ASSERT_EQ(front_->GetAttachedSurface(&caps, &back_), DD_OK);
        Keep(back_);
    }

    plat::DrawSurface* front_ = nullptr;
    plat::DrawSurface* back_ = nullptr;
};

TEST_F(FlipChainTest, TheChainHasTheModesSizeAndABackBuffer) {
    plat::SurfaceDesc d;
    ASSERT_EQ(front_->GetSurfaceDesc(&d), DD_OK);
    EXPECT_EQ(d.width, 640u);
    EXPECT_EQ(d.height, 480u);
    EXPECT_EQ(d.pixelFormat.bitCount, 32u);
    EXPECT_NE(d.caps.caps & plat::DDSCAPS_FRONTBUFFER, 0u);
    ASSERT_EQ(back_->GetSurfaceDesc(&d), DD_OK);
    EXPECT_NE(d.caps.caps & plat::DDSCAPS_BACKBUFFER, 0u);
    EXPECT_EQ(d.width, 640u);
    EXPECT_EQ(back_->Flip(nullptr, 0), plat::DDERR_NOTFLIPPABLE);

    // The attached surfaces as EnumAttachedSurfaces hands them out.
    std::vector<plat::DrawSurface*> seen;
    ASSERT_EQ(front_->EnumAttachedSurfaces(
                  &seen,
                  [](plat::DrawSurface* s, plat::SurfaceDesc*, void* context) -> int32_t {
                      static_cast<std::vector<plat::DrawSurface*>*>(context)->push_back(s);
                      return 1;
                  }),
              DD_OK);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], back_);
    seen[0]->Release();
}

TEST_F(FlipChainTest, AFlipShowsTheBackBufferAndHandsBackTheOldFront) {
    Paint(front_, nullptr, [](int32_t, int32_t) { return 0x000000FFu; });
    Paint(back_, nullptr, [](int32_t x, int32_t y) { return static_cast<uint32_t>(x + 1000 * y); });
    EXPECT_EQ(At(Shown(), 5, 5), 0x0000FFu);

    ASSERT_EQ(front_->Flip(nullptr, plat::DDFLIP_WAIT), DD_OK);
    const plat::ShownPicture shown = Shown();
    ASSERT_EQ(shown.width, 640);
    ASSERT_EQ(shown.height, 480);
    EXPECT_EQ(At(shown, 0, 0), 0u);
    EXPECT_EQ(At(shown, 639, 479), 639u + 479000u);
    EXPECT_EQ(PixelOf(front_, 7, 3), 3007u);  // the front is what is shown
    EXPECT_EQ(PixelOf(back_, 7, 3), 0xFFu);   // and the back holds the old front

    ASSERT_EQ(front_->Flip(back_, plat::DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(At(Shown(), 7, 3), 0xFFu);
}

TEST_F(FlipChainTest, ASecondFlipBeforeTheBlankWaitsOrIsRefused) {
    // Just after a blank has begun, so that a whole frame of lines is ahead.
    uint32_t line = 0;
    ASSERT_EQ(dd_->WaitForVerticalBlank(plat::DDWAITVB_BLOCKEND, nullptr), DD_OK);
    ASSERT_EQ(dd_->GetScanLine(&line), DD_OK);
    EXPECT_LT(line, 480u / 10);

    ASSERT_EQ(front_->Flip(nullptr, 0), DD_OK);
    EXPECT_EQ(front_->Flip(nullptr, 0), plat::DDERR_WASSTILLDRAWING);
    const uint64_t before = plat::VirtualClockMicroseconds();
    ASSERT_EQ(front_->Flip(nullptr, plat::DDFLIP_WAIT), DD_OK);
    const uint64_t waited = plat::VirtualClockMicroseconds() - before;
    EXPECT_GT(waited, 10000u);  // most of a 60 Hz frame
    EXPECT_LE(waited, 17000u);  // and never more than one

    // Without the vertical-blank wait the next flip may follow at once.
    ASSERT_EQ(front_->Flip(nullptr, plat::DDFLIP_NOVSYNC), DD_OK);
    EXPECT_EQ(front_->Flip(nullptr, plat::DDFLIP_NOVSYNC), DD_OK);
}

TEST_F(FlipChainTest, FlipToGDISurfaceBringsTheOriginalFrontBack) {
    Paint(front_, nullptr, [](int32_t, int32_t) { return 0x111111u; });  // what GDI draws on
    Paint(back_, nullptr, [](int32_t, int32_t) { return 0x222222u; });
    ASSERT_EQ(front_->Flip(nullptr, plat::DDFLIP_NOVSYNC), DD_OK);
    EXPECT_EQ(At(Shown(), 1, 1), 0x222222u);
    ASSERT_EQ(dd_->FlipToGDISurface(), DD_OK);
    EXPECT_EQ(At(Shown(), 1, 1), 0x111111u);
    ASSERT_EQ(dd_->FlipToGDISurface(), DD_OK);  // already there: nothing changes
    EXPECT_EQ(At(Shown(), 1, 1), 0x111111u);

    // GDI on the window draws into what is shown.
    plat::DeviceContext* dc = plat::GetDC(window_);
    ASSERT_NE(dc, nullptr);
    plat::BitmapInfo info = {};
    info.header.size = sizeof info.header;
    info.header.width = 1;
    info.header.height = 1;
    info.header.planes = 1;
    info.header.bitCount = 32;
    const uint32_t pixel = 0x00ABCDEF;
    EXPECT_EQ(plat::SetDIBitsToDevice(dc, 3, 4, 1, 1, 0, 0, 0, 1, &pixel, 4, &info,
                                      plat::DIB_RGB_COLORS),
              1);
    EXPECT_EQ(plat::ReleaseDC(window_, dc), 1);
    EXPECT_EQ(PixelOf(front_, kLeft + 3, kTop + 4) & 0xFFFFFF, 0xABCDEFu);
}

TEST_F(FlipChainTest, ChainsNeedTheExclusiveLevelAndOnePrimaryPerObject) {
    MakePrimary(plat::DDERR_PRIMARYSURFACEALREADYEXISTS);
    plat::DirectDraw* other = nullptr;
    ASSERT_EQ(plat::CreateDirectDraw(&other), DD_OK);
    ASSERT_EQ(other->SetCooperativeLevel(window_, plat::DDSCL_NORMAL), DD_OK);
    plat::SurfaceDesc d = {};
    d.flags = plat::DDSD_CAPS | plat::DDSD_BACKBUFFERCOUNT;
    d.caps.caps = plat::DDSCAPS_PRIMARYSURFACE | plat::DDSCAPS_FLIP | plat::DDSCAPS_COMPLEX;
    d.backBufferCount = 1;
    plat::DrawSurface* s = nullptr;
    EXPECT_EQ(other->CreateSurface(&d, &s), plat::DDERR_NOEXCLUSIVEMODE);
    d.backBufferCount = 2;
    EXPECT_EQ(other->CreateSurface(&d, &s), plat::DDERR_INVALIDPARAMS);
    d.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH;
    d.caps.caps = plat::DDSCAPS_PRIMARYSURFACE;
    EXPECT_EQ(other->CreateSurface(&d, &s), plat::DDERR_INVALIDPARAMS);
    EXPECT_EQ(s, nullptr);
    other->Release();
}

}  // namespace
