#include "graphics/draw_state/draw_state.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "softrender/rules/blend_tables.h"
#include "tests/graphics/graphs/graph_test_support.h"

namespace {

using DrawStateTest = GraphStateTest;

std::string RectText(const RECT& r) {
    char text[64];
    std::snprintf(text, sizeof text, "(%d,%d,%d,%d)", r.left, r.top, r.right, r.bottom);
    return text;
}

std::string Clip(RECT r, RECT bound) {
    ClipRectInPlace(&r, &bound);
    return RectText(r);
}

std::string Normalized(RECT r) {
    NormalizeRect(&r);
    return RectText(r);
}

std::string BlendText() {
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d", GetDrawState().blendMode, GetDrawState().blendParam);
    return text;
}

std::string BrightText() {
    char text[16];
    std::snprintf(text, sizeof text, "%06X", GetDrawState().bright);
    return text;
}

std::string AreaText() {
    return RectText(GetDrawState().drawArea) + (GetDrawState().drawAreaEmpty ? " empty" : "");
}

std::string BorderText() {
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d map0=%d", GetDrawState().blendGraphBorderParam,
                  GetDrawState().blendGraphBorderRange, BlendWeightMap[0]);
    return text;
}

int32_t DepthEight() { return 8; }

// The clamps of the setters and the rectangle routines, each case a call on a freshly started
// graph management (back screen 640 x 480 without a display mode) and the state it leaves.
struct StateCase {
    const char* name;
    std::function<std::string()> run;
    std::string expected;
};

class DrawStateCaseTest : public GraphStateTest, public ::testing::WithParamInterface<StateCase> {
};

TEST_P(DrawStateCaseTest, LeavesTheExpectedState) {
    EXPECT_EQ(GetParam().run(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, DrawStateCaseTest,
    ::testing::Values(
        StateCase{"BlendParamAbove255", [] { SetBlendState(1, 300); return BlendText(); }, "1/255"},
        StateCase{"BlendParamNegative", [] { SetBlendState(1, -5); return BlendText(); }, "1/0"},
        StateCase{"BlendParam256", [] { SetBlendState(2, 256); return BlendText(); }, "2/255"},
        StateCase{"BlendModeStoredUnchanged", [] { SetBlendState(77, 10); return BlendText(); },
                  "77/10"},
        StateCase{"BrightClamped",
                  [] { SetBrightRGB(300, -1, 10); return BrightText(); }, "FF000A"},
        StateCase{"BrightSwappedChannelsIsAChange",
                  [] {
                      SetBrightRGB(255, 128, 0);
                      SetBrightRGB(255, 0, 128);
                      return BrightText();
                  },
                  "FF0080"},
        StateCase{"BrightPackedKeepsLow24Bits",
                  [] { SetBrightPacked(0x12345678); return BrightText(); }, "345678"},
        StateCase{"BorderValuesClamped",
                  [] { SelectBlendGraph(-1, 300, -2); return BorderText(); }, "255/0 map0=0"},
        StateCase{"BorderZeroDrawsEverywhere",
                  [] { SelectBlendGraph(-1, 0, 40); return BorderText(); }, "0/40 map0=255"},
        StateCase{"DrawAreaCornersSwapped",
                  [] { SetDrawAreaRect(100, 50, 20, 10); return AreaText(); }, "(20,10,100,50)"},
        StateCase{"DrawAreaClampedToScreen",
                  [] { SetDrawAreaRect(-10, -10, 1000, 1000); return AreaText(); },
                  "(0,0,640,480)"},
        StateCase{"DrawAreaWithoutWidth",
                  [] { SetDrawAreaRect(5, 5, 5, 100); return AreaText(); }, "(5,5,5,100) empty"},
        StateCase{"DrawAreaOutsideScreen",
                  [] { SetDrawAreaRect(700, 10, 800, 20); return AreaText(); },
                  "(640,10,640,20) empty"},
        StateCase{"ClipLeftEdge", [] { return Clip({-20, 10, 50, 30}, {0, 0, 640, 480}); },
                  "(0,10,50,30)"},
        StateCase{"ClipWhollyRight", [] { return Clip({700, 10, 800, 30}, {0, 0, 640, 480}); },
                  "(640,10,640,30)"},
        StateCase{"ClipWhollyAbove", [] { return Clip({10, -50, 20, -5}, {0, 0, 640, 480}); },
                  "(10,0,20,0)"},
        StateCase{"ClipInside", [] { return Clip({1, 2, 3, 4}, {0, 0, 640, 480}); }, "(1,2,3,4)"},
        StateCase{"ClipInvertedCollapsesNotSwaps",
                  [] { return Clip({50, 30, 10, 5}, {0, 0, 640, 480}); }, "(50,30,50,30)"},
        StateCase{"ClipInvertedOutside",
                  [] { return Clip({900, 600, 10, 5}, {0, 0, 640, 480}); }, "(640,480,640,480)"},
        StateCase{"ClipToOffsetBound", [] { return Clip({0, 0, 100, 100}, {10, 20, 30, 40}); },
                  "(10,20,30,40)"},
        StateCase{"NormalizeSwaps", [] { return Normalized({50, 30, 10, 5}); }, "(10,5,50,30)"},
        StateCase{"NormalizeKeepsOrdered", [] { return Normalized({1, 2, 3, 4}); }, "(1,2,3,4)"},
        StateCase{"ColorKeyStored",
                  [] {
                      SetColorKeyRGB(0, 128, 0);
                      return std::to_string(GetDrawState().colorKey);
                  },
                  std::to_string(0x008000)},
        StateCase{"ColorKeyIgnoredAtDepth8",
                  [] {
                      SetColorKeyRGB(1, 2, 3);
                      GraphStateTest::screen_.getScreenDepth = DepthEight;
                      SetColorKeyRGB(0, 128, 0);
                      return std::to_string(GetDrawState().colorKey);
                  },
                  std::to_string(0x010203)},
        StateCase{"BackScreenSizeWithoutMode",
                  [] {
                      int32_t w = 0, h = 0;
                      QueryGraphDimensions(kDrawTargetBack, &w, &h);
                      return std::to_string(w) + "x" + std::to_string(h);
                  },
                  "640x480"}),
    [](const ::testing::TestParamInfo<StateCase>& info) { return std::string(info.param.name); });

int gRefreshCount = 0;
void CountRefresh() { ++gRefreshCount; }

TEST_F(DrawStateTest, UnchangedSettersDoNotTouchTheDevice) {
    device_.refreshDeviceColorState = CountRefresh;
    GetGraphicsState().direct3DInUse = 1;
    gRefreshCount = 0;
    SetBlendState(1, 100);
    SetBlendState(1, 100);
    EXPECT_EQ(gRefreshCount, 1);
    SetBrightRGB(10, 20, 30);
    SetBrightRGB(10, 20, 30);
    EXPECT_EQ(gRefreshCount, 2);
    SetBrightPacked(0xFF0A141E);  // same low 24 bits
    EXPECT_EQ(gRefreshCount, 2);
    // Without Direct3D the RGB setter leaves the device alone.
    GetGraphicsState().direct3DInUse = 0;
    SetBrightRGB(1, 2, 3);
    EXPECT_EQ(gRefreshCount, 2);
    EXPECT_EQ(GetDrawState().bright, 0x010203u);
}

TEST_F(DrawStateTest, BlendGraphMustBeALiveGraphThatCoversTheDrawnOne) {
    GraphRecord* blend = nullptr;
    const HandleValue blendHandle = AllocGraphRecord(64, 32, 0, &blend, 0, 0);
    GraphRecord* small = nullptr;
    AllocGraphRecord(64, 32, 0, &small, 0, 0);
    GraphRecord* wide = nullptr;
    AllocGraphRecord(65, 10, 0, &wide, 0, 0);

    EXPECT_EQ(CheckBlendGraphCovers(small), -1);  // no blend graph selected
    EXPECT_EQ(SelectBlendGraph(0x08000000 | 999, 10, 10), -1);
    EXPECT_EQ(GetDrawState().blendGraph, kNoHandle);
    EXPECT_EQ(GetDrawState().blendGraphBorderParam, 0);

    ASSERT_EQ(SelectBlendGraph(blendHandle, 128, 255), 0);
    EXPECT_EQ(BlendWeightMap[200], 200);  // b = 128, r = 255 is the identity
    EXPECT_EQ(CheckBlendGraphCovers(small), 0);
    EXPECT_EQ(CheckBlendGraphCovers(wide), -1);

    DeleteGraphHandle(blendHandle, 0);
    EXPECT_EQ(CheckBlendGraphCovers(small), -1);
}

// Back-end stand-ins for draw-target changes.
HandleValue gRefusedTarget = 0;
std::string gSelected;
int SelectSurface(HandleValue target, HandleValue) {
    gSelected += std::to_string(target) + " ";
    return target == gRefusedTarget ? -1 : 0;
}
float gCamera[6] = {};
void RecordCamera(float w, float h, float d, float fov, float n, float f) {
    const float values[6] = {w, h, d, fov, n, f};
    for (int i = 0; i < 6; ++i) gCamera[i] = values[i];
}
int Windowed() { return 1; }
int ClientOnDesktop(RECT* out) {
    *out = RECT{-100, -50, 540, 430};
    return 0;
}
int Desktop(int32_t* w, int32_t* h) {
    *w = 500;
    *h = 400;
    return 0;
}

TEST_F(DrawStateTest, DrawTargetIsSelectedInTheBackEndsAndSizesTheDrawArea) {
    screen_.selectDrawTargetSurface = SelectSurface;
    device_.resetTargetTransforms = RecordCamera;
    gRefusedTarget = 0;
    gSelected.clear();

    GraphRecord* graph = nullptr;
    const HandleValue g = AllocGraphRecord(100, 60, 0, &graph, 0, 0);
    SetDrawAreaRect(10, 10, 20, 20);
    ASSERT_EQ(SetDrawTarget(g), 0);
    EXPECT_EQ(GetDrawTarget(), g);
    EXPECT_EQ(RectText(GetDrawState().drawArea), "(0,0,100,60)");  // new size: whole target
    EXPECT_EQ(GetDrawState().targetWidth, 100);
    EXPECT_FLOAT_EQ(gCamera[2], 30.0f * 1.7320509f);
    EXPECT_FLOAT_EQ(gCamera[3], 1.0471976f);
    EXPECT_FLOAT_EQ(gCamera[4], gCamera[2] * 0.1f);
    EXPECT_FLOAT_EQ(gCamera[5], gCamera[2] + 1000.0f);

    // A graph draw area is clamped to the graph.
    SetDrawAreaRect(-5, 10, 500, 50);
    EXPECT_EQ(RectText(GetDrawState().drawArea), "(0,10,100,50)");

    // Same size: the draw area stays.
    const HandleValue same = AllocGraphRecord(100, 60, 0, nullptr, 0, 0);
    ASSERT_EQ(SetDrawTarget(same), 0);
    EXPECT_EQ(RectText(GetDrawState().drawArea), "(0,10,100,50)");

    // A refused target leaves the previous one selected again.
    gRefusedTarget = kDrawTargetBack;
    gSelected.clear();
    EXPECT_EQ(SetDrawTarget(kDrawTargetBack), -1);
    EXPECT_EQ(GetDrawTarget(), same);
    EXPECT_EQ(gSelected, std::to_string(kDrawTargetBack) + " " + std::to_string(same) + " ");

    // Dead graphs and other values are refused before the back ends see them.
    gSelected.clear();
    DeleteGraphHandle(g, 0);
    EXPECT_EQ(SetDrawTarget(g), -1);
    EXPECT_EQ(SetDrawTarget(-1), -1);
    EXPECT_EQ(SetDrawTarget(-3), -1);
    EXPECT_EQ(gSelected, "");
    EXPECT_EQ(GetDrawTarget(), same);

    // Nothing is selected while graph management is down.
    TermGraphSystem();
    EXPECT_EQ(SetDrawTarget(kDrawTargetFront), -1);
}

TEST_F(DrawStateTest, FrontScreenAreaIsLimitedToTheDesktop) {
    window_.isWindowed = Windowed;
    window_.getScreenRectOnDesktop = ClientOnDesktop;
    window_.getDesktopSize = Desktop;
    ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
    ASSERT_EQ(SetDrawTarget(kDrawTargetFront), 0);
    EXPECT_EQ(RectText(GetDrawState().frontScreenRect), "(-100,-50,540,430)");
    // The window starts 100 left of and 50 above the desktop, which ends 500 x 400.
    SetDrawAreaRect(0, 0, 640, 480);
    EXPECT_EQ(RectText(GetDrawState().drawArea), "(100,50,600,450)");
    ASSERT_EQ(SetDrawTarget(kDrawTargetBack), 0);
    EXPECT_EQ(RectText(GetDrawState().frontScreenRect), "(0,0,0,0)");
}

int HasDirectDraw() { return 1; }
int gSoftwareRequest = -1;
int RecordSoftwareRequest(int value) {
    gSoftwareRequest = value;
    return 0;
}

TEST_F(DrawStateTest, CreationSettingsFollowTheScreen) {
    screen_.setSoftwareRenderRequest = RecordSoftwareRequest;

    // Before a DirectDraw object exists the soft-image settings are stored as given and
    // switching 3D off asks for software rendering.
    SetUseSoftImageGraph(0);
    EXPECT_EQ(GetDrawState().softImageSetting, 0);
    SetUseVideoMemGraph(0);
    EXPECT_EQ(GetDrawState().softImageSetting, 1);
    SetUseVideoMemGraph(1);
    EXPECT_EQ(GetDrawState().softImageSetting, 0);
    gSoftwareRequest = -1;
    SetUse3DFlag(0);
    EXPECT_EQ(gSoftwareRequest, 1);
    EXPECT_EQ(GetDrawState().use3D, 0);

    // With DirectDraw running the setting is forced to 1 and no request is made.
    screen_.hasDirectDrawObject = HasDirectDraw;
    SetUseSoftImageGraph(0);
    EXPECT_EQ(GetDrawState().softImageSetting, 1);
    SetUseVideoMemGraph(1);
    EXPECT_EQ(GetDrawState().softImageSetting, 1);
    gSoftwareRequest = -1;
    SetUse3DFlag(1);
    EXPECT_EQ(gSoftwareRequest, -1);
    EXPECT_EQ(GetDrawState().use3D, 1);
}

int DeviceReady() { return 1; }

TEST_F(DrawStateTest, ThreeDDeviceIsUsedOnlyWhenEveryConditionHolds) {
    EXPECT_EQ(IsUsing3DDevice(), 0);
    GetGraphicsState().direct3DInUse = 1;
    EXPECT_EQ(IsUsing3DDevice(), 0);
    device_.isCurrentDeviceReady = DeviceReady;
    EXPECT_EQ(IsUsing3DDevice(), 1);
    SetUse3DFlag(0);
    EXPECT_EQ(IsUsing3DDevice(), 0);
}

}  // namespace
