// A fixture for the screen tests on a started library (headless): start-up in a chosen mode
// on a software screen or on DirectDraw surfaces, the back screen filled and read back in its
// own format, and the picture the display shows.
#pragma once
#include <gtest/gtest.h>

#include <cstring>

#include "graphics/screen/screen.h"
#include "graphics/screen_setup/screen_setup.h"
#include "platform/ddraw/ddraw.h"
#include "platform/display/display.h"
#include "platform/testing/ddraw_test_controls.h"
#include "platform/testing/display_test_controls.h"
#include "platform/window/window_backend.h"
#include "tests/support/library_fixture.h"

class ScreenRestFixture : public LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        plat::ResetDisplayTestControls();
        plat::ResetDDrawTestControls();
        plat::SetDisplayRefreshRateForTests(60);
        ResetScreenState();
    }

    void TearDown() override {
        LibraryFixture::TearDown();
        ResetScreenState();
        plat::ResetDisplayTestControls();
        plat::ResetDDrawTestControls();
    }

    // Starts the library (without its pump thread) with the mode asked for before start-up.
    // DirectDraw surfaces are kept when 3D drawing is off (without a 3D device the screen
    // would fall back to software).
    static void Start(bool softwareScreen, bool windowed, int32_t width = 640,
                      int32_t height = 480, int32_t depth = 32) {
        plat::SetHeadlessDesktop(1920, 1080, depth);
        ApiChangeWindowMode(windowed ? 1 : 0);
        ASSERT_EQ(ChangeScreenMode(width, height, depth, 0, -1), 0);
        if (!softwareScreen) SetSoftwareRenderRequest(1);
        StartWithoutPumpThread();
        ASSERT_EQ(GetScreenState().softwareScreen, softwareScreen ? 1 : 0);
    }

    // Fills the back screen with the colour, in the screen's own format.
    static void FillBack(int r, int g, int b) {
        ScreenState& s = GetScreenState();
        if (s.softwareScreen) {
            MEMIMG& image = s.backImage;
            const uint32_t value = ColorFormatRgbaToPixel(image.colorFormat, r, g, b, 255);
            const int bytes = image.colorFormat->bytes;
            for (int y = 0; y < image.height; ++y) {
                for (int x = 0; x < image.width; ++x) {
                    std::memcpy(image.pixels + y * image.pitch + x * bytes, &value, bytes);
                }
            }
        } else {
            plat::BltFx fx = {};
            fx.fillColor = MakeScreenColor(r, g, b);
            ASSERT_EQ(s.back->Blt(nullptr, nullptr, nullptr, plat::DDBLT_COLORFILL, &fx),
                      plat::DD_OK);
        }
    }

    // The back screen's pixel as 0x00RRGGBB.
    static uint32_t BackPixel(int32_t x, int32_t y) {
        ScreenState& s = GetScreenState();
        uint32_t value = 0;
        if (s.softwareScreen) {
            const MEMIMG& image = s.backImage;
            std::memcpy(&value, image.pixels + y * image.pitch + x * image.colorFormat->bytes,
                        image.colorFormat->bytes);
        } else {
            plat::SurfaceDesc d;
            const plat::Rect r{x, y, x + 1, y + 1};
            EXPECT_EQ(s.back->Lock(&r, &d, plat::DDLOCK_WAIT | plat::DDLOCK_READONLY),
                      plat::DD_OK);
            std::memcpy(&value, d.surface, d.pixelFormat.bitCount / 8);
            EXPECT_EQ(s.back->Unlock(&r), plat::DD_OK);
        }
        int32_t r = 0, g = 0, b = 0;
        GetScreenColorRGB(value, &r, &g, &b);
        return static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
               static_cast<uint32_t>(b);
    }

    // Pixels of the shown picture that are not 0x00RRGGBB (-1 without a picture); the
    // picture's size goes to *width and *height when given.
    static int PixelsNotShowing(uint32_t rgb, int32_t* width = nullptr,
                                int32_t* height = nullptr) {
        plat::ShownPicture picture;
        if (!plat::GetShownPicture(&picture) || picture.pixels.empty()) return -1;
        if (width != nullptr) *width = picture.width;
        if (height != nullptr) *height = picture.height;
        int wrong = 0;
        for (uint32_t p : picture.pixels) wrong += (p & 0xFFFFFF) != rgb ? 1 : 0;
        return wrong;
    }
};
