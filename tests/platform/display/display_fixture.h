// A fixture for the display tests: a clean headless window layer on the virtual clock with a
// 1920 x 1080 32-bit desktop at 60 Hz, one visible window whose client area is 320 x 240 at
// (100, 50) on the desktop, an initialised DirectDraw object, and helpers to make surfaces,
// to fill and read them, and to read the picture shown.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/core/clock.h"
#include "platform/ddraw/ddraw.h"
#include "platform/display/display.h"
#include "platform/testing/ddraw_test_controls.h"
#include "platform/testing/display_test_controls.h"
#include "platform/testing/test_controls.h"
#include "platform/testing/window_test_controls.h"
#include "platform/gdi/gdi.h"
#include "platform/window/window.h"

class DisplayFixture : public ::testing::Test {
protected:
    static constexpr const char* kClassName = "ZnDisplayTestClass";
    static constexpr int32_t kLeft = 100, kTop = 50, kWidth = 320, kHeight = 240;

    static plat::LResult Proc(plat::WindowHandle w, uint32_t m, plat::WParam wp, plat::LParam lp) {
        return plat::DefWindowProc(w, m, wp, lp);
    }

    void SetUp() override {
        plat::ResetWindowTestControls();
        plat::ResetDDrawTestControls();
        plat::UseVirtualClock(true);
        plat::WindowClass c{0, &Proc, 0, 0, 0, kClassName};
        ASSERT_NE(plat::RegisterWindowClass(c), 0);
        window_ = plat::CreateWindow(kClassName, "display", plat::WS_POPUP | plat::WS_VISIBLE, 0,
                                     kLeft, kTop, kWidth, kHeight, nullptr);
        ASSERT_NE(window_, 0u);
        ASSERT_EQ(plat::CreateDirectDraw(&dd_), plat::DD_OK);
        liveAtStart_ = plat::LiveSurfaceCount();
    }

    void TearDown() override {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) (*it)->Release();
        made_.clear();
        EXPECT_EQ(plat::LiveSurfaceCount(), liveAtStart_);
        EXPECT_EQ(plat::SurfaceGuardViolations(), 0u);
        if (dd_ != nullptr) dd_->Release();
        plat::ResetDDrawTestControls();
        plat::ResetWindowTestControls();
        plat::ResetTestControls();
    }

    // Keeps s until the end of the test (released in reverse order of keeping).
    plat::DrawSurface* Keep(plat::DrawSurface* s) {
        if (s != nullptr) made_.push_back(s);
        return s;
    }

    plat::DrawSurface* MakePrimary(plat::DDResult expected = plat::DD_OK) {
        plat::SurfaceDesc d = {};
        d.flags = plat::DDSD_CAPS;
        d.caps.caps = plat::DDSCAPS_PRIMARYSURFACE;
        plat::DrawSurface* s = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&d, &s), expected);
        return Keep(s);
    }

    plat::DrawSurface* MakeFlipChain(plat::DDResult expected = plat::DD_OK) {
        plat::SurfaceDesc d = {};
        d.flags = plat::DDSD_CAPS | plat::DDSD_BACKBUFFERCOUNT;
        d.caps.caps = plat::DDSCAPS_PRIMARYSURFACE | plat::DDSCAPS_FLIP | plat::DDSCAPS_COMPLEX;
        d.backBufferCount = 1;
        plat::DrawSurface* s = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&d, &s), expected);
        return Keep(s);
    }

    // An off-screen surface in the display's format.
    plat::DrawSurface* MakePlain(uint32_t width, uint32_t height) {
        plat::SurfaceDesc d = {};
        d.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
        d.width = width;
        d.height = height;
        d.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_SYSTEMMEMORY;
        plat::DrawSurface* s = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&d, &s), plat::DD_OK);
        return Keep(s);
    }

    // Writes value(x, y) into every pixel of rect (null: the whole surface) through a lock.
    template <typename F>
    static void Paint(plat::DrawSurface* s, const plat::Rect* rect, F value) {
        plat::SurfaceDesc d;
        ASSERT_EQ(s->Lock(rect, &d, plat::DDLOCK_WAIT | plat::DDLOCK_WRITEONLY), plat::DD_OK);
        const uint32_t bytes = d.pixelFormat.bitCount / 8;
        const int32_t left = rect != nullptr ? rect->left : 0;
        const int32_t top = rect != nullptr ? rect->top : 0;
        const int32_t w = rect != nullptr ? rect->right - rect->left : static_cast<int32_t>(d.width);
        const int32_t h = rect != nullptr ? rect->bottom - rect->top : static_cast<int32_t>(d.height);
        for (int32_t y = 0; y < h; ++y) {
            auto* row = static_cast<uint8_t*>(d.surface) + int64_t{d.pitch} * y;
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t v = value(left + x, top + y);
                std::memcpy(row + x * bytes, &v, bytes);
            }
        }
        ASSERT_EQ(s->Unlock(rect), plat::DD_OK);
    }

    // The pixel (x, y) of a surface, read through a lock of that one pixel.
    static uint32_t PixelOf(plat::DrawSurface* s, int32_t x, int32_t y) {
        plat::SurfaceDesc d;
        const plat::Rect r{x, y, x + 1, y + 1};
        EXPECT_EQ(s->Lock(&r, &d, plat::DDLOCK_WAIT | plat::DDLOCK_READONLY), plat::DD_OK);
        uint32_t v = 0;
        std::memcpy(&v, d.surface, d.pixelFormat.bitCount / 8);
        EXPECT_EQ(s->Unlock(&r), plat::DD_OK);
        return v;
    }

    static plat::ShownPicture Shown(plat::WindowHandle window = 0) {
        plat::ShownPicture p;
        EXPECT_TRUE(plat::GetShownPicture(&p, window));
        return p;
    }
    static uint32_t At(const plat::ShownPicture& p, int32_t x, int32_t y) {
        return p.pixels[static_cast<size_t>(y) * p.width + x];
    }

    plat::WindowHandle window_ = 0;
    plat::DirectDraw* dd_ = nullptr;
    std::vector<plat::DrawSurface*> made_;
    size_t liveAtStart_ = 0;
};
