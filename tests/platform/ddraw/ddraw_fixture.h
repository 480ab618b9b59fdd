// A fixture for the surface-layer tests: a fresh DirectDraw object with the test controls at
// their defaults, helpers to make surfaces and to read and write their pixels through locks,
// and a check at the end that every surface was released and no guard band was hit.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/ddraw/ddraw.h"
#include "platform/testing/ddraw_test_controls.h"
#include "tests/support/pixel_formats.h"

class DDrawFixture : public ::testing::Test {
protected:
    void SetUp() override {
        plat::ResetDDrawTestControls();
        ASSERT_EQ(plat::CreateDirectDraw(&dd_), plat::DD_OK);
        liveAtStart_ = plat::LiveSurfaceCount();
    }
    void TearDown() override {
        for (plat::DrawSurface* s : made_) s->Release();
        EXPECT_EQ(plat::LiveSurfaceCount(), liveAtStart_);
        EXPECT_EQ(plat::SurfaceGuardViolations(), 0u);
        EXPECT_EQ(plat::GetVideoMemoryInUse(), 0u);
        dd_->Release();
        plat::ResetDDrawTestControls();
    }

    static plat::PixelFormat Rgb(uint32_t bits, uint32_t r, uint32_t g, uint32_t b,
                                 uint32_t a = 0) {
        return RgbPixelFormat(bits, r, g, b, a);
    }
    static plat::PixelFormat Rgb565() { return Rgb(16, 0xF800, 0x07E0, 0x001F); }
    static plat::PixelFormat Xrgb32() { return Rgb(32, 0xFF0000, 0xFF00, 0xFF); }
    static plat::PixelFormat Z16() {
        plat::PixelFormat f = {};
        f.size = sizeof f;
        f.flags = plat::DDPF_ZBUFFER;
        f.bitCount = 16;
        f.greenMask = 0xFFFF;
        return f;
    }

    static plat::SurfaceDesc Desc(uint32_t width, uint32_t height, uint32_t caps,
                                  const plat::PixelFormat* format = nullptr) {
        plat::SurfaceDesc d = {};
        d.flags = plat::DDSD_CAPS | plat::DDSD_WIDTH | plat::DDSD_HEIGHT;
        d.width = width;
        d.height = height;
        d.caps.caps = caps;
        if (format != nullptr) {
            d.flags |= plat::DDSD_PIXELFORMAT;
            d.pixelFormat = *format;
        }
        return d;
    }

    // A surface released at the end of the test; fails the test when it cannot be made.
    plat::DrawSurface* Make(uint32_t width, uint32_t height, uint32_t caps,
                            const plat::PixelFormat& format) {
        const plat::SurfaceDesc d = Desc(width, height, caps, &format);
        plat::DrawSurface* s = nullptr;
        EXPECT_EQ(dd_->CreateSurface(&d, &s), plat::DD_OK);
        if (s != nullptr) made_.push_back(s);
        return s;
    }
    plat::DrawSurface* MakePlain(uint32_t width, uint32_t height,
                                 const plat::PixelFormat& format = Rgb565(),
                                 uint32_t memory = plat::DDSCAPS_SYSTEMMEMORY) {
        return Make(width, height, plat::DDSCAPS_OFFSCREENPLAIN | memory, format);
    }

    // Every pixel of the surface, row by row, read through a whole-surface lock.
    static std::vector<uint32_t> ReadAll(plat::DrawSurface* s) {
        plat::SurfaceDesc d;
        EXPECT_EQ(s->Lock(nullptr, &d, plat::DDLOCK_WAIT | plat::DDLOCK_READONLY), plat::DD_OK);
        std::vector<uint32_t> out;
        const uint32_t bytes = d.pixelFormat.bitCount / 8;
        for (uint32_t y = 0; y < d.height; ++y) {
            const auto* row = static_cast<const uint8_t*>(d.surface) + int64_t{d.pitch} * y;
            for (uint32_t x = 0; x < d.width; ++x) {
                uint32_t v = 0;
                std::memcpy(&v, row + x * bytes, bytes);
                out.push_back(v);
            }
        }
        EXPECT_EQ(s->Unlock(nullptr), plat::DD_OK);
        return out;
    }
    // Writes values (row by row, width × height of them) through a whole-surface lock.
    static void WriteAll(plat::DrawSurface* s, const std::vector<uint32_t>& values) {
        plat::SurfaceDesc d;
        ASSERT_EQ(s->Lock(nullptr, &d, plat::DDLOCK_WAIT | plat::DDLOCK_WRITEONLY), plat::DD_OK);
        const uint32_t bytes = d.pixelFormat.bitCount / 8;
        ASSERT_EQ(values.size(), size_t{d.width} * d.height);
        for (uint32_t y = 0; y < d.height; ++y) {
            auto* row = static_cast<uint8_t*>(d.surface) + int64_t{d.pitch} * y;
            for (uint32_t x = 0; x < d.width; ++x) {
                std::memcpy(row + x * bytes, &values[size_t{y} * d.width + x], bytes);
            }
        }
        ASSERT_EQ(s->Unlock(nullptr), plat::DD_OK);
    }

    plat::DirectDraw* dd_ = nullptr;
    std::vector<plat::DrawSurface*> made_;
    size_t liveAtStart_ = 0;
};
