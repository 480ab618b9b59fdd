// Shared set-up of the screen-save tests: the library started headless on either screen road
// (a software screen or DirectDraw surfaces) at either depth, a known picture written straight
// into the back screen, and the file bytes read back.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "graphics/draw_state/draw_state.h"
#include "graphics/screen/screen.h"
#include "graphics/screen/screen_state.h"
#include "graphics/surfaces/surface_formats.h"
#include "platform/ddraw/ddraw.h"
#include "platform/testing/ddraw_test_controls.h"
#include "platform/testing/display_test_controls.h"
#include "platform/window/window_backend.h"
#include "tests/support/headless_library_fixture.h"

struct ScreenRoad {
    const char* name;
    bool softwareScreen;
    int32_t depth;
};

inline constexpr ScreenRoad kScreenRoads[] = {
    {"software screen, 16-bit", true, 16},
    {"software screen, 32-bit", true, 32},
    {"DirectDraw surfaces, 16-bit", false, 16},
    {"DirectDraw surfaces, 32-bit", false, 32},
};

// A raw pixel value that differs from its neighbours in every channel (cut to the depth).
inline uint32_t PatternValue(int32_t x, int32_t y) {
    uint32_t v = static_cast<uint32_t>(x) * 0x9E3779B1u + static_cast<uint32_t>(y) * 0x85EBCA77u;
    v ^= v >> 15;
    return v * 0x2C1B3C6Du;
}

class ScreenSaveTest : public HeadlessLibraryFixture {
protected:
    // Starts the library windowed at 640 x 480 on a display of the depth, the back screen the
    // draw target.
    static void Start(const ScreenRoad& road) {
        ASSERT_EQ(PrepareWindowedStart(road.depth, false), 0);
        if (!road.softwareScreen) SetSoftwareRenderRequest(1);
        plat::FailNextThreadStarts(1);
        ASSERT_EQ(ApiInitLibrary(), 0);
        ASSERT_EQ(GetScreenState().softwareScreen, road.softwareScreen ? 1 : 0);
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    }
    static void Stop() {
        ASSERT_EQ(ApiTermLibrary(), 0);
        ResetScreenState();
    }

    // Writes value(x, y) as the raw pixel of every back-screen pixel, on either road; the
    // format the values are in.
    static const ColorFormat* PaintBack(uint32_t (*value)(int32_t x, int32_t y)) {
        ScreenState& s = GetScreenState();
        uint8_t* pixels = nullptr;
        int32_t pitch = 0;
        const ColorFormat* format = nullptr;
        plat::SurfaceDesc desc{};
        if (s.softwareScreen) {
            pixels = s.backImage.pixels;
            pitch = s.backImage.pitch;
            format = s.backImage.colorFormat;
        } else {
            EXPECT_EQ(s.back->Lock(nullptr, &desc, plat::DDLOCK_WAIT), plat::DD_OK);
            pixels = static_cast<uint8_t*>(desc.surface);
            pitch = desc.pitch;
            format = &GetSurfaceScreenFormat()->format;
        }
        for (int32_t y = 0; y < 480; ++y) {
            for (int32_t x = 0; x < 640; ++x) {
                const uint32_t v = value(x, y);
                std::memcpy(pixels + y * pitch + x * format->bytes, &v, format->bytes);
            }
        }
        if (!s.softwareScreen) s.back->Unlock(nullptr);
        return format;
    }

    // The file's bytes ("" when it is missing).
    std::string FileBytes(const std::string& name) const { return dir_.ReadFile(name); }
    bool FileThere(const std::string& name) const {
        return std::filesystem::exists(dir_.path() / name);
    }
};
