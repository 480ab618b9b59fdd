// What marks the shown picture changed (the window backend uploads it once per pump when it
// did), and the colours of a 5-6-5 and a 5-5-5 display as shown.
#include <gtest/gtest.h>

#include <functional>

#include "tests/platform/display/display_fixture.h"

namespace {

using plat::DD_OK;

using DisplayChangeTest = DisplayFixture;

TEST_F(DisplayChangeTest, DrawsOnTheDisplayMarkItChangedAndOthersDoNot) {
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_NORMAL), DD_OK);
    plat::DrawSurface* primary = MakePrimary();
    plat::DrawSurface* plain = MakePlain(16, 16);
    plat::DrawSurface* other = MakePlain(16, 16);
    const plat::Rect inWindow{kLeft, kTop, kLeft + 16, kTop + 16};
    plat::BltFx fx{0x123456, 0};

    struct Case {
        const char* what;
        std::function<void()> act;
        bool marks;
    } cases[] = {
        {"Blt onto the primary",
         [&] { EXPECT_EQ(primary->Blt(&inWindow, plain, nullptr, plat::DDBLT_WAIT, nullptr), DD_OK); },
         true},
        {"colour fill of the primary",
         [&] { EXPECT_EQ(primary->Blt(&inWindow, nullptr, nullptr, plat::DDBLT_COLORFILL, &fx), DD_OK); },
         true},
        {"BltFast onto the primary",
         [&] { EXPECT_EQ(primary->BltFast(kLeft, kTop, plain, nullptr, plat::DDBLTFAST_WAIT), DD_OK); },
         true},
        {"lock and unlock of the primary",
         [&] { Paint(primary, &inWindow, [](int32_t, int32_t) { return 1u; }); }, true},
        {"the primary's DC",
         [&] {
             plat::DeviceContext* dc = nullptr;
             ASSERT_EQ(primary->GetDC(&dc), DD_OK);
             EXPECT_EQ(primary->ReleaseDC(dc), DD_OK);
         },
         true},
        {"BitBlt into the window's DC",
         [&] {
             plat::DeviceContext* window = plat::GetDC(window_);
             plat::DeviceContext* source = nullptr;
             ASSERT_EQ(plain->GetDC(&source), DD_OK);
             EXPECT_TRUE(plat::BitBlt(window, 0, 0, 16, 16, source, 0, 0, plat::SRCCOPY));
             EXPECT_EQ(plain->ReleaseDC(source), DD_OK);
             plat::ReleaseDC(window_, window);
         },
         true},
        {"Blt between off-screen surfaces",
         [&] { EXPECT_EQ(other->Blt(nullptr, plain, nullptr, plat::DDBLT_WAIT, nullptr), DD_OK); },
         false},
        {"a read-only look at the window",
         [&] {
             plat::DeviceContext* window = plat::GetDC(window_);
             plat::DeviceContext* target = nullptr;
             ASSERT_EQ(plain->GetDC(&target), DD_OK);
             EXPECT_TRUE(plat::BitBlt(target, 0, 0, 16, 16, window, 0, 0, plat::SRCCOPY));
             EXPECT_EQ(plain->ReleaseDC(target), DD_OK);
             plat::ReleaseDC(window_, window);
         },
         false},
    };
    for (Case& c : cases) {
        const uint64_t before = plat::DisplayChangeSerial();
        c.act();
        EXPECT_EQ(plat::DisplayChangeSerial() > before, c.marks) << c.what;
    }
}

TEST_F(DisplayChangeTest, SixteenBitDisplaysShowTheirColoursWidened) {
    ASSERT_EQ(dd_->SetCooperativeLevel(window_, plat::DDSCL_EXCLUSIVE | plat::DDSCL_FULLSCREEN),
              DD_OK);
    ASSERT_EQ(dd_->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    plat::PixelFormat f555 = {};
    f555.size = sizeof f555;
    f555.flags = plat::DDPF_RGB;
    f555.bitCount = 16;
    f555.redMask = 0x7C00;
    f555.greenMask = 0x03E0;
    f555.blueMask = 0x001F;
    struct Case {
        const plat::PixelFormat* format;  // null: the display's own 5-6-5
        uint32_t pixel, shown;
    } cases[] = {
        {nullptr, 0xF800, 0xFF0000}, {nullptr, 0x07E0, 0x00FF00}, {nullptr, 0x0010, 0x000083},
        {&f555, 0x7C00, 0xFF0000},   {&f555, 0x03E0, 0x00FF00},   {&f555, 0xFFFF, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        plat::OverrideDisplayFormat(c.format);
        plat::DrawSurface* front = MakeFlipChain();
        ASSERT_NE(front, nullptr);
        Paint(front, nullptr, [&](int32_t, int32_t) { return c.pixel; });
        EXPECT_EQ(At(Shown(), 100, 100), c.shown) << std::hex << c.pixel;
        made_.pop_back();
        front->Release();
    }
    plat::OverrideDisplayFormat(nullptr);
}

}  // namespace

namespace {

TEST(FitPictureRect, ThePictureFillsTheOutputWithItsAspectKeptAndCentred) {
    struct Case {
        int32_t outW, outH, picW, picH;
        plat::Rect expected;
    } cases[] = {
        {640, 480, 640, 480, {0, 0, 640, 480}},          // a window of the picture's size
        {1920, 1080, 640, 480, {240, 0, 1680, 1080}},    // a wide desktop: bars left and right
        {1280, 1024, 640, 480, {0, 32, 1280, 992}},      // a tall one: bars above and below
        {1024, 768, 640, 480, {0, 0, 1024, 768}},        // the same aspect, scaled
        {641, 480, 640, 480, {0, 0, 640, 480}},          // an odd pixel stays black
        {0, 480, 640, 480, {0, 0, 0, 0}},
        {640, 480, 640, 0, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const plat::Rect r = plat::FitPictureRect(c.outW, c.outH, c.picW, c.picH);
        EXPECT_EQ(r.left, c.expected.left) << c.outW << "x" << c.outH;
        EXPECT_EQ(r.top, c.expected.top) << c.outW << "x" << c.outH;
        EXPECT_EQ(r.right, c.expected.right) << c.outW << "x" << c.outH;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.outW << "x" << c.outH;
    }
}

}  // namespace
