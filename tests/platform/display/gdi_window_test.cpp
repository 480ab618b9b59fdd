// GDI on windows: copies into a window's device context land in the picture shown at the
// client area and nowhere else; BitBlt, GetDIBits and compatible bitmaps; StretchDIBits' source
// rows counted from the picture's bottom.
#include <gtest/gtest.h>

#include <vector>

#include "tests/platform/display/display_fixture.h"

namespace {

using plat::DD_OK;

class GdiWindowTest : public DisplayFixture {
protected:
    // A top-down 32-bit picture header.
    static plat::BitmapInfo TopDown32(int32_t width, int32_t height) {
        plat::BitmapInfo info = {};
        info.header.size = sizeof info.header;
        info.header.width = width;
        info.header.height = -height;
        info.header.planes = 1;
        info.header.bitCount = 32;
        info.header.compression = plat::BI_RGB;
        return info;
    }
    // The desktop's pixel (x, y) read through the display's device context.
    static uint32_t DesktopPixel(int32_t x, int32_t y) {
        plat::DeviceContext* screen = plat::GetDC(0);
        plat::DeviceContext* memory = plat::CreateCompatibleDC(screen);
        plat::Bitmap* bitmap = plat::CreateCompatibleBitmap(screen, 1, 1);
        plat::SelectObject(memory, bitmap);
        EXPECT_TRUE(plat::BitBlt(memory, 0, 0, 1, 1, screen, x, y, plat::SRCCOPY));
        plat::BitmapInfo info = TopDown32(1, 1);
        uint32_t v = 0;
        EXPECT_EQ(plat::GetDIBits(memory, bitmap, 0, 1, &v, 4, &info, plat::DIB_RGB_COLORS), 1);
        plat::SelectObject(memory, nullptr);
        plat::DeleteObject(bitmap);
        plat::DeleteDC(memory);
        plat::ReleaseDC(0, screen);
        return v & 0xFFFFFF;
    }
};

TEST_F(GdiWindowTest, ACopyIntoTheWindowLandsInTheShownPictureAtTheClientArea) {
    // A picture larger than the client area, placed so that it reaches out on every side.
    const int32_t w = kWidth + 40, h = kHeight + 40;
    std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * w + x] = 0x010000u * (x % 200) + y;
    }
    const plat::BitmapInfo info = TopDown32(w, h);
    plat::DeviceContext* dc = plat::GetDC(window_);
    ASSERT_NE(dc, nullptr);
    const uint64_t serial = plat::DisplayChangeSerial();
    EXPECT_EQ(plat::SetDIBitsToDevice(dc, -20, -20, w, h, 0, 0, 0, h, pixels.data(),
                                      pixels.size() * 4, &info, plat::DIB_RGB_COLORS),
              h);
    EXPECT_GT(plat::DisplayChangeSerial(), serial);  // the backend will show it
    EXPECT_EQ(plat::ReleaseDC(window_, dc), 1);

    const plat::ShownPicture shown = Shown(window_);
    ASSERT_EQ(shown.width, kWidth);
    ASSERT_EQ(shown.height, kHeight);
    for (int32_t y : {0, 100, kHeight - 1}) {
        for (int32_t x : {0, 7, kWidth - 1}) {
            EXPECT_EQ(At(shown, x, y), pixels[static_cast<size_t>(y + 20) * w + x + 20]) << x << "," << y;
        }
    }
    // Outside the client area the desktop is untouched.
    EXPECT_EQ(DesktopPixel(kLeft - 1, kTop + 5), 0u);
    EXPECT_EQ(DesktopPixel(kLeft + 5, kTop - 1), 0u);
    EXPECT_EQ(DesktopPixel(kLeft + kWidth, kTop + 5), 0u);
    EXPECT_EQ(DesktopPixel(kLeft + 5, kTop + kHeight), 0u);
    EXPECT_EQ(DesktopPixel(kLeft, kTop), pixels[20 * static_cast<size_t>(w) + 20] & 0xFFFFFF);
}

TEST_F(GdiWindowTest, BitBltCopiesBetweenWindowsMemoryAndSurfacesInEveryFormat) {
    plat::DeviceContext* window = plat::GetDC(window_);
    plat::DeviceContext* memory = plat::CreateCompatibleDC(window);
    plat::Bitmap* bitmap = plat::CreateCompatibleBitmap(window, 16, 16);
    ASSERT_NE(bitmap, nullptr);
    plat::SelectObject(memory, bitmap);

    // A 5-6-5 surface's DC as the source: converted into the 32-bit display.
    plat::PixelFormat f565 = {};
    f565.size = sizeof f565;
    f565.flags = plat::DDPF_RGB;
    f565.bitCount = 16;
    f565.redMask = 0xF800;
    f565.greenMask = 0x07E0;
    f565.blueMask = 0x001F;
    plat::SurfaceDesc d = {};
    d.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT | plat::DDSD_PIXELFORMAT;
    d.width = d.height = 16;
    d.caps.caps = plat::DDSCAPS_OFFSCREENPLAIN | plat::DDSCAPS_SYSTEMMEMORY;
    d.pixelFormat = f565;
    plat::DrawSurface* surface = nullptr;
    ASSERT_EQ(dd_->CreateSurface(&d, &surface), DD_OK);
    Keep(surface);
    Paint(surface, nullptr, [](int32_t x, int32_t) { return x < 8 ? 0xF800u : 0x001Fu; });
    plat::DeviceContext* sdc = nullptr;
    ASSERT_EQ(surface->GetDC(&sdc), DD_OK);
    EXPECT_TRUE(plat::BitBlt(memory, 0, 0, 16, 16, sdc, 0, 0, plat::SRCCOPY));
    ASSERT_EQ(surface->ReleaseDC(sdc), DD_OK);

    // Memory to window, then read back through GetDIBits as 16-bit 5-6-5.
    EXPECT_TRUE(plat::BitBlt(window, 2, 3, 16, 16, memory, 0, 0, plat::SRCCOPY));
    const plat::ShownPicture shown = Shown();
    EXPECT_EQ(At(shown, 2, 3), 0xFF0000u);
    EXPECT_EQ(At(shown, 17, 18), 0x0000FFu);
    EXPECT_EQ(At(shown, 1, 3), 0u);

    plat::BitmapInfo info = {};
    info.header.size = sizeof info.header;
    info.header.width = 16;
    info.header.height = -16;
    info.header.planes = 1;
    info.header.bitCount = 16;
    info.header.compression = plat::BI_BITFIELDS;
    info.masks[0] = 0xF800;
    info.masks[1] = 0x07E0;
    info.masks[2] = 0x001F;
    std::vector<uint16_t> rows(16 * 16);
    EXPECT_EQ(plat::GetDIBits(memory, bitmap, 0, 16, rows.data(), rows.size() * 2, &info,
                              plat::DIB_RGB_COLORS),
              16);
    EXPECT_EQ(rows[0], 0xF800);
    EXPECT_EQ(rows[15 * 16 + 15], 0x001F);
    // Rows handed over wider than the bitmap (a pitch of 20 pixels): the extra columns stay.
    plat::BitmapInfo wide = info;
    wide.header.width = 20;
    std::vector<uint16_t> wideRows(20 * 16, 0xBEEF);
    EXPECT_EQ(plat::GetDIBits(memory, bitmap, 0, 16, wideRows.data(), wideRows.size() * 2, &wide,
                              plat::DIB_RGB_COLORS),
              16);
    EXPECT_EQ(wideRows[20 * 15 + 15], 0x001F);
    EXPECT_EQ(wideRows[20 * 15 + 16], 0xBEEF);
    EXPECT_EQ(wideRows[20 * 1 + 0], 0xF800);
    // Too few bytes for the rows asked: refused, nothing written past them.
    EXPECT_EQ(plat::GetDIBits(memory, bitmap, 0, 16, rows.data(), 16 * 2 * 15, &info,
                              plat::DIB_RGB_COLORS),
              0);
    // The bitmap's own description.
    plat::BitmapInfo own = {};
    EXPECT_EQ(plat::GetDIBits(memory, bitmap, 0, 0, nullptr, 0, &own, plat::DIB_RGB_COLORS), 16);
    EXPECT_EQ(own.header.width, 16);
    EXPECT_EQ(own.header.bitCount, 32);

    // Refusals.
    EXPECT_FALSE(plat::BitBlt(window, 0, 0, 4, 4, memory, 0, 0, 0x00EE0086));
    EXPECT_FALSE(plat::BitBlt(window, 0, 0, -1, 4, memory, 0, 0, plat::SRCCOPY));
    plat::DeviceContext* empty = plat::CreateCompatibleDC(nullptr);
    EXPECT_FALSE(plat::BitBlt(window, 0, 0, 4, 4, empty, 0, 0, plat::SRCCOPY));
    plat::DeleteDC(empty);

    plat::SelectObject(memory, nullptr);
    EXPECT_TRUE(plat::DeleteObject(bitmap));
    EXPECT_TRUE(plat::DeleteDC(memory));
    EXPECT_FALSE(plat::DeleteDC(window));  // a window's DC goes back through ReleaseDC
    EXPECT_EQ(plat::ReleaseDC(0, window), 0);  // not for another window
    EXPECT_EQ(plat::ReleaseDC(window_, window), 1);
    EXPECT_EQ(plat::GetDC(window_ + 0x10000), nullptr);
}

TEST_F(GdiWindowTest, StretchDIBitsCountsSourceRowsFromThePicturesBottom) {
    // Four rows of distinct colours, stored top-down and bottom-up.
    const uint32_t rowColour[4] = {0x110000, 0x002200, 0x000033, 0x444444};
    for (const bool topDown : {true, false}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        plat::BitmapInfo info = TopDown32(2, 4);
        if (!topDown) info.header.height = 4;
        std::vector<uint32_t> bits(8);
        for (int32_t row = 0; row < 4; ++row) {
            const int32_t stored = topDown ? row : 3 - row;
            bits[stored * 2] = bits[stored * 2 + 1] = rowColour[row];
        }
        plat::DeviceContext* dc = plat::GetDC(window_);
        // Picture row t (from the top) is ySrc = height - t - 1 for a one-row rectangle.
        for (int32_t t = 0; t < 4; ++t) {
            EXPECT_EQ(plat::StretchDIBits(dc, 0, t, 2, 1, 0, 4 - t - 1, 2, 1, bits.data(),
                                          bits.size() * 4, &info, plat::DIB_RGB_COLORS,
                                          plat::SRCCOPY),
                      1);
        }
        // The whole picture doubled, from ySrc 0.
        EXPECT_EQ(plat::StretchDIBits(dc, 10, 0, 4, 8, 0, 0, 2, 4, bits.data(), bits.size() * 4,
                                      &info, plat::DIB_RGB_COLORS, plat::SRCCOPY),
                  4);
        EXPECT_EQ(plat::ReleaseDC(window_, dc), 1);
        const plat::ShownPicture shown = Shown();
        for (int32_t t = 0; t < 4; ++t) {
            EXPECT_EQ(At(shown, 1, t), rowColour[t]) << t;
            EXPECT_EQ(At(shown, 13, 2 * t), rowColour[t]) << t;
            EXPECT_EQ(At(shown, 10, 2 * t + 1), rowColour[t]) << t;
        }
        EXPECT_EQ(At(shown, 14, 0), 0u);
    }
    plat::DeviceContext* dc = plat::GetDC(window_);
    const plat::BitmapInfo info = TopDown32(2, 4);
    std::vector<uint32_t> bits = {1, 2, 3, 4, 5, 6, 7, 8};
    // A negative destination width mirrors: the columns land right to left of xDest.
    EXPECT_EQ(plat::StretchDIBits(dc, 30, 20, -2, 4, 0, 0, 2, 4, bits.data(), bits.size() * 4,
                                  &info, plat::DIB_RGB_COLORS, plat::SRCCOPY),
              4);
    const plat::ShownPicture mirrored = Shown();
    EXPECT_EQ(At(mirrored, 29, 20), 1u);
    EXPECT_EQ(At(mirrored, 28, 20), 2u);
    EXPECT_EQ(At(mirrored, 28, 23), 8u);
    EXPECT_EQ(At(mirrored, 30, 20), 0u);
    EXPECT_EQ(plat::StretchDIBits(dc, 0, 0, 2, 4, 0, 0, 2, 4, bits.data(), 31, &info,
                                  plat::DIB_RGB_COLORS, plat::SRCCOPY),
              0);  // fewer bytes than the picture
    EXPECT_EQ(plat::StretchDIBits(dc, 0, 0, 2, 4, 0, 0, 0, 4, bits.data(), 32, &info,
                                  plat::DIB_RGB_COLORS, plat::SRCCOPY),
              0);
    plat::ReleaseDC(window_, dc);
}

TEST_F(GdiWindowTest, FullScreenSoftwarePresentOnASixteenBitMode) {
    plat::DevMode mode = {};
    mode.size = sizeof mode;
    mode.fields = plat::DM_PELSWIDTH | plat::DM_PELSHEIGHT | plat::DM_BITSPERPEL;
    mode.pelsWidth = 640;
    mode.pelsHeight = 480;
    mode.bitsPerPel = 16;
    ASSERT_EQ(plat::ChangeDisplaySettings(&mode, plat::CDS_FULLSCREEN), plat::DISP_CHANGE_SUCCESSFUL);
    ASSERT_TRUE(plat::MoveWindow(window_, 0, 0, 640, 480, false));
    // The back image as the library keeps it: 5-6-5 rows with a pitch wider than the width,
    // handed over with a header whose width is pitch / bytes per pixel.
    const int32_t pitchPixels = 648;
    std::vector<uint16_t> back(static_cast<size_t>(pitchPixels) * 480, 0x07E0);
    back[0] = 0xF800;
    back[static_cast<size_t>(479) * pitchPixels + 639] = 0x001F;
    plat::BitmapInfo info = {};
    info.header.size = sizeof info.header;
    info.header.width = pitchPixels;
    info.header.height = -480;
    info.header.planes = 1;
    info.header.bitCount = 16;
    info.header.compression = plat::BI_BITFIELDS;
    info.masks[0] = 0xF800;
    info.masks[1] = 0x07E0;
    info.masks[2] = 0x001F;
    plat::DeviceContext* dc = plat::GetDC(window_);
    EXPECT_EQ(plat::SetDIBitsToDevice(dc, 0, 0, 640, 480, 0, 0, 0, 480, back.data(),
                                      back.size() * 2, &info, plat::DIB_RGB_COLORS),
              480);
    plat::ReleaseDC(window_, dc);
    const plat::ShownPicture shown = Shown();
    ASSERT_EQ(shown.width, 640);
    ASSERT_EQ(shown.height, 480);
    EXPECT_EQ(At(shown, 0, 0), 0xFF0000u);
    EXPECT_EQ(At(shown, 1, 0), 0x00FF00u);
    EXPECT_EQ(At(shown, 639, 479), 0x0000FFu);
    EXPECT_EQ(plat::ChangeDisplaySettings(nullptr, 0), plat::DISP_CHANGE_SUCCESSFUL);
}

}  // namespace
