// The roads the started library draws on, as a table tests run over: the software screen, the
// DirectDraw surfaces (the 3D device not used) and the 3D device, each at 16 and 32 bits, each
// started through ApiInitLibrary windowed at 640 x 480 with the back screen the draw target.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "graphics/draw_state.h"
#include "tests/graphics/d3d_draw_test_support.h"

enum class RoadKind { kSoftwareScreen, kDirectDraw, kDevice3D };

struct LibraryRoad {
    const char* name;
    RoadKind kind;
    int32_t depth;
};

inline const LibraryRoad kLibraryRoads[] = {
    {"software screen 16", RoadKind::kSoftwareScreen, 16},
    {"software screen 32", RoadKind::kSoftwareScreen, 32},
    {"DirectDraw 16", RoadKind::kDirectDraw, 16},
    {"DirectDraw 32", RoadKind::kDirectDraw, 32},
    {"3D device 16", RoadKind::kDevice3D, 16},
    {"3D device 32", RoadKind::kDevice3D, 32},
};

inline void PrintTo(const LibraryRoad& road, std::ostream* out) { *out << road.name; }

// A test name made of the road's name.
inline std::string LibraryRoadTestName(const ::testing::TestParamInfo<LibraryRoad>& info) {
    std::string name = info.param.name;
    for (char& c : name) {
        if (c == ' ') c = '_';
    }
    return name;
}

class LibraryRoadFixture : public Direct3DDrawFixture,
                           public ::testing::WithParamInterface<LibraryRoad> {
protected:
    // Starts the library on the road: the software screen, DirectDraw surfaces with the 3D
    // device refused (the software request), or the 3D device offered and taken.
    static void StartRoad(const LibraryRoad& road) {
        const bool device = road.kind == RoadKind::kDevice3D;
        ASSERT_EQ(PrepareWindowedStart(road.depth, device), 0);
        if (road.kind == RoadKind::kDirectDraw) SetSoftwareRenderRequest(1);
        plat::FailNextThreadStarts(1);
        ASSERT_EQ(ApiInitLibrary(), 0);
        ASSERT_EQ(GetScreenState().softwareScreen,
                  road.kind == RoadKind::kSoftwareScreen ? 1 : 0);
        ASSERT_EQ(IsUsing3DDevice(), device ? 1 : 0);
        ASSERT_EQ(ApiSetDrawTarget(kDrawTargetBack), 0);
    }
};
