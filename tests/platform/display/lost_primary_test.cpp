// Primary surfaces lost to another exclusive owner or to a change of mode, and restored.
#include <gtest/gtest.h>

#include "tests/platform/display/display_fixture.h"

namespace {

using plat::DD_OK;

using LostPrimaryTest = DisplayFixture;

TEST_F(LostPrimaryTest, AnotherExclusiveOwnerTakesThePrimaryUntilItLeaves) {
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_NORMAL), DD_OK);
    plat::DrawSurface* primary = MakePrimary();
    plat::DrawSurface* back = MakePlain(8, 8);
    Paint(back, nullptr, [](int32_t, int32_t) { return 0x00123456u; });

    plat::SetOtherExclusiveOwner(true);
    EXPECT_EQ(primary->IsLost(), plat::DDERR_SURFACELOST);
    EXPECT_EQ(back->IsLost(), DD_OK);  // system memory is not the display's
    plat::SurfaceDesc d;
    EXPECT_EQ(primary->Lock(nullptr, &d, plat::DDLOCK_WAIT), plat::DDERR_SURFACELOST);
    const plat::Rect dest{kLeft, kTop, kLeft + 8, kTop + 8};
    EXPECT_EQ(primary->Blt(&dest, back, nullptr, plat::DDBLT_WAIT, nullptr),
              plat::DDERR_SURFACELOST);
    EXPECT_EQ(primary->Restore(), plat::DDERR_NOEXCLUSIVEMODE);
    EXPECT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN),
              plat::DDERR_EXCLUSIVEMODEALREADYSET);
    MakePrimary(plat::DDERR_PRIMARYSURFACEALREADYEXISTS);

    plat::SetOtherExclusiveOwner(false);
    ASSERT_EQ(primary->Restore(), DD_OK);
    EXPECT_EQ(primary->IsLost(), DD_OK);
    ASSERT_EQ(primary->Blt(&dest, back, nullptr, plat::DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(At(Shown(), 3, 3), 0x123456u);  // the restored primary is the display again
}

TEST_F(LostPrimaryTest, AModeChangeLosesTheChainAndTheOldModeCannotComeBack) {
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN),
              DD_OK);
    ASSERT_EQ(dd_->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    plat::DrawSurface* front = MakeFlipChain();
    plat::DrawSurface* back = nullptr;
    plat::SurfaceCaps caps{plat::DDSCAPS_BACKBUFFER, 0};
    ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
    Keep(back);

    ASSERT_EQ(dd_->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
    EXPECT_EQ(front->IsLost(), plat::DDERR_SURFACELOST);
    EXPECT_EQ(back->IsLost(), plat::DDERR_SURFACELOST);
    EXPECT_EQ(front->Flip(nullptr, plat::DDFLIP_WAIT), plat::DDERR_SURFACELOST);
    EXPECT_EQ(front->Restore(), plat::DDERR_WRONGMODE);

    // Back in the mode the chain was made for, it comes back (filled with the poison byte,
    // for the caller to redraw).
    ASSERT_EQ(dd_->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    ASSERT_EQ(back->Restore(), DD_OK);
    EXPECT_EQ(front->IsLost(), DD_OK);
    EXPECT_EQ(back->IsLost(), DD_OK);
    EXPECT_EQ(PixelOf(front, 0, 0), 0xA5A5u);
    Paint(back, nullptr, [](int32_t, int32_t) { return 0xF800u; });
    ASSERT_EQ(front->Flip(nullptr, plat::DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(At(Shown(), 320, 240), 0xFF0000u);

    // Another owner taking the display leaves it in the desktop's mode.
    plat::SetOtherExclusiveOwner(true);
    EXPECT_FALSE(plat::DisplayInFullScreenMode());
    EXPECT_EQ(front->IsLost(), plat::DDERR_SURFACELOST);
    plat::SetOtherExclusiveOwner(false);
}

TEST_F(LostPrimaryTest, AWindowedPrimaryOutlivesADesktopChange) {
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_NORMAL), DD_OK);
    plat::DrawSurface* primary = MakePrimary();
    plat::SetHeadlessDesktop(1280, 1024, 32);
    // Touching the display finds the new desktop: the old primary is lost, not dangling.
    EXPECT_EQ(plat::CurrentDisplayMode().width, 1280);
    EXPECT_EQ(plat::GetDisplayFramebuffer().width, 1280);
    EXPECT_EQ(primary->IsLost(), plat::DDERR_SURFACELOST);
    ASSERT_EQ(primary->Restore(), DD_OK);
    plat::SurfaceDesc d;
    ASSERT_EQ(primary->GetSurfaceDesc(&d), DD_OK);
    EXPECT_EQ(d.width, 1280u);
    EXPECT_EQ(d.height, 1024u);
    Paint(primary, nullptr, [](int32_t, int32_t) { return 0x00010203u; });
    EXPECT_EQ(At(Shown(), 0, 0), 0x010203u);
}

TEST_F(LostPrimaryTest, AChainLostAndReleasedLeavesTheDisplayShowingItsOwnMemory) {
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN),
              DD_OK);
    ASSERT_EQ(dd_->SetDisplayMode(640, 480, 32, 0, 0), DD_OK);
    plat::DrawSurface* front = MakeFlipChain();
    Paint(front, nullptr, [](int32_t, int32_t) { return 0x00445566u; });
    EXPECT_EQ(plat::LoseVideoMemorySurfaces(), 2);  // the front and its back buffer
    EXPECT_EQ(front->IsLost(), plat::DDERR_SURFACELOST);
    made_.clear();
    EXPECT_EQ(front->Release(), 0u);
    // The display no longer shows the freed buffer (under the address sanitizer a read of it
    // would stop the test here).
    const plat::ShownPicture shown = Shown();
    ASSERT_EQ(shown.width, 640);
    EXPECT_EQ(At(shown, 10, 10), 0u);
}

TEST_F(LostPrimaryTest, RestoringAModeLeavesAModeAnotherOwnerSetSince) {
    constexpr uint32_t kFull = plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN;
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, kFull), DD_OK);
    ASSERT_EQ(dd_->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_NORMAL), DD_OK);
    plat::DirectDraw* other = nullptr;
    ASSERT_EQ(plat::CreateDirectDraw(&other), DD_OK);
    ASSERT_EQ(other->SetCooperativeLevel(window_, kFull), DD_OK);
    ASSERT_EQ(other->SetDisplayMode(800, 600, 32, 0, 0), DD_OK);
    EXPECT_EQ(dd_->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(plat::CurrentDisplayMode().width, 800);
    other->Release();
    EXPECT_EQ(plat::CurrentDisplayMode().width, 1920);
}

TEST_F(LostPrimaryTest, ABackBufferThatOutlivesItsFrontIsPlainMemory) {
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN),
              DD_OK);
    ASSERT_EQ(dd_->SetDisplayMode(640, 480, 32, 0, 0), DD_OK);
    plat::DrawSurface* front = MakeFlipChain();
    plat::DrawSurface* back = nullptr;
    plat::SurfaceCaps caps{plat::DDSCAPS_BACKBUFFER, 0};
    ASSERT_EQ(front->GetAttachedSurface(&caps, &back), DD_OK);
    made_.clear();
    Keep(back);
    EXPECT_EQ(front->Release(), 0u);
    Paint(back, nullptr, [](int32_t, int32_t) { return 0x00FFFFFFu; });
    EXPECT_EQ(At(Shown(), 0, 0), 0u);  // not shown: it is no one's back buffer now
    EXPECT_EQ(plat::LoseVideoMemorySurfaces(), 1);
    ASSERT_EQ(back->Restore(), DD_OK);
    EXPECT_EQ(back->IsLost(), DD_OK);
    EXPECT_EQ(PixelOf(back, 0, 0), 0xA5A5A5A5u);
    EXPECT_EQ(back->Flip(nullptr, 0), plat::DDERR_NOTFLIPPABLE);
    // The display shows its own memory, in the mode's size.
    EXPECT_EQ(Shown().width, 640);
}

}  // namespace
