// The roads the library draws on, as one table for the tests of drawing features: the
// software screen and DirectDraw surfaces at 16 and 32 bits, and the 3D device (graphs become
// texture graphs) at both depths. DrawRoadFixture starts the library on a road through the
// shipped start-up (ApiInitLibrary, headless, windowed), without its pump thread so that only
// the test touches the library, and reads the back screen and the shown picture as
// 0x00RRGGBB on any road. A test of a drawing feature derives from it and is instantiated with
// INSTANTIATE_ON_DRAW_ROADS, so that the road is the test's parameter and its name ends with
// the road's name.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "graphics/d3d/device.h"
#include "graphics/draw_state/draw_state.h"
#include "graphics/screen/screen.h"
#include "graphics/screen_setup/screen_setup.h"
#include "graphics/screen/screen_state.h"
#include "tests/support/back_screen_colours.h"
#include "platform/display/display.h"
#include "tests/support/headless_library_fixture.h"

struct DrawRoad {
    const char* name;     // the end of the test's name
    bool softwareScreen;  // the software renderer draws into the library's own images
    bool direct3D;        // the 3D device draws (DirectDraw surfaces underneath)
    int32_t depth;        // bits per pixel of the display and the screen
};

inline constexpr DrawRoad kDrawRoads[] = {
    {"SoftwareScreen16", true, false, 16}, {"SoftwareScreen32", true, false, 32},
    {"DirectDraw16", false, false, 16},    {"DirectDraw32", false, false, 32},
    {"Device3D16", false, true, 16},       {"Device3D32", false, true, 32},
};

// The software screen of the depth: the picture every other road of that depth must give.
inline DrawRoad SoftwareScreenRoad(int32_t depth) { return depth == 16 ? kDrawRoads[0] : kDrawRoads[1]; }

// The road's name where GoogleTest prints the parameter.
inline void PrintTo(const DrawRoad& road, std::ostream* out) { *out << road.name; }

inline std::string DrawRoadName(const ::testing::TestParamInfo<DrawRoad>& info) {
    return info.param.name;
}

#define INSTANTIATE_ON_DRAW_ROADS(Suite) \
    INSTANTIATE_TEST_SUITE_P(Roads, Suite, ::testing::ValuesIn(kDrawRoads), DrawRoadName)

// Largest difference of one colour channel between two 0x00RRGGBB colours.
inline int32_t ChannelDifference(uint32_t a, uint32_t b) {
    int32_t most = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int32_t d = static_cast<int32_t>((a >> shift) & 0xFF) -
                          static_cast<int32_t>((b >> shift) & 0xFF);
        most = d < 0 ? (-d > most ? -d : most) : (d > most ? d : most);
    }
    return most;
}

class DrawRoadFixture : public HeadlessLibraryFixture,
                        public ::testing::WithParamInterface<DrawRoad> {
protected:
    // Starts the library windowed at width x height on a display of the road's depth and
    // checks that the start-up took the road: the software screen, DirectDraw surfaces (asked
    // for while the 3D device is not offered) or the 3D device.
    static void StartOnRoad(const DrawRoad& road, int32_t width = 640, int32_t height = 480) {
        plat::SetHeadlessDesktop(1920, 1080, road.depth);
        plat::OfferDirect3D(road.direct3D);
        ApiChangeWindowMode(1);
        ASSERT_EQ(ChangeScreenMode(width, height, road.depth, 0, -1), 0);
        if (!road.softwareScreen && !road.direct3D) SetSoftwareRenderRequest(1);
        plat::FailNextThreadStarts(1);
        ASSERT_EQ(ApiInitLibrary(), 0);
        ASSERT_EQ(GetScreenState().softwareScreen, road.softwareScreen ? 1 : 0);
        ASSERT_EQ(Direct3DIsUp(), road.direct3D ? 1 : 0);
        ASSERT_EQ(IsUsing3DDevice(), road.direct3D ? 1 : 0);
        ASSERT_EQ(GetScreenState().displayDepth, road.depth);
    }
    void StartOnRoad(int32_t width = 640, int32_t height = 480) {
        StartOnRoad(GetParam(), width, height);
    }

    // Ends the library and forgets the screen, so that the test can start it again.
    static void StopRoad() {
        ASSERT_EQ(ApiTermLibrary(), 0);
        ResetScreenState();
    }

    static bool OnSoftwareScreen() { return GetParam().softwareScreen; }

    // The back screen's colours (0x00RRGGBB) of rect, row by row, on any road.
    static std::vector<uint32_t> BackColours(const RECT& rect) {
        return ReadBackScreenColours(rect);
    }

    // The picture the window shows (0x00RRGGBB), after a present; empty without one.
    static plat::ShownPicture Shown() {
        plat::ShownPicture shown;
        EXPECT_TRUE(plat::GetShownPicture(&shown, Window()));
        for (uint32_t& p : shown.pixels) p &= 0xFFFFFF;
        return shown;
    }

    // Pixels of two pictures of the same rectangle (width pixels a row) whose channels differ
    // by more than tolerance; the first few are reported by place.
    static int CountDiffering(const std::vector<uint32_t>& expected,
                              const std::vector<uint32_t>& actual, int32_t width,
                              int32_t tolerance = 0) {
        if (expected.size() != actual.size()) {
            ADD_FAILURE() << "pictures of " << expected.size() << " and " << actual.size()
                          << " pixels";
            return -1;
        }
        int differing = 0;
        for (size_t i = 0; i < expected.size(); ++i) {
            if (ChannelDifference(expected[i], actual[i]) > tolerance && ++differing <= 5) {
                ADD_FAILURE() << "pixel " << i % static_cast<size_t>(width) << ","
                              << i / static_cast<size_t>(width) << ": expected " << std::hex
                              << expected[i] << ", drawn " << actual[i];
            }
        }
        return differing;
    }

    // Pixels of drawn (width pixels a row) whose colour expected shows within tolerance neither
    // at the same place nor, with neighbours, at one of the eight around it; the first few are
    // reported by place. With leaveOutEdges the pixels on the picture's edge are not counted:
    // the neighbour whose colour they may show can lie beyond the edge, outside the picture.
    static int CountFarFrom(const std::vector<uint32_t>& expected,
                            const std::vector<uint32_t>& drawn, int32_t width,
                            int32_t tolerance, bool neighbours, bool leaveOutEdges = false) {
        if (expected.size() != drawn.size() || width <= 0) {
            ADD_FAILURE() << "pictures of " << expected.size() << " and " << drawn.size()
                          << " pixels";
            return -1;
        }
        const int32_t height = static_cast<int32_t>(drawn.size()) / width;
        const int32_t reach = neighbours ? 1 : 0;
        int far = 0;
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                const uint32_t d = drawn[static_cast<size_t>(y * width + x)];
                bool found =
                    leaveOutEdges && (x == 0 || y == 0 || x == width - 1 || y == height - 1);
                for (int32_t ny = y - reach; ny <= y + reach && !found; ++ny) {
                    for (int32_t nx = x - reach; nx <= x + reach && !found; ++nx) {
                        found = nx >= 0 && ny >= 0 && nx < width && ny < height &&
                                ChannelDifference(expected[static_cast<size_t>(ny * width + nx)],
                                                  d) <= tolerance;
                    }
                }
                if (!found && ++far <= 5) {
                    ADD_FAILURE() << "at " << x << "," << y << ": drawn " << std::hex << d
                                  << ", expected " << expected[static_cast<size_t>(y * width + x)];
                }
            }
        }
        return far;
    }
};
