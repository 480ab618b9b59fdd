// Shared set-up of the tests of the software renderer's graph-level entries: graph management
// up (with its surface records and blend tables), a stand-in screen drawn in software
// (software-only mode, no DirectDraw object) of a chosen depth, so that every graph holds a
// software image, the back screen the draw target, and the back screen's image (the screen
// module's) and the mask screen's image (the mask module's) given by the test.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "graphics/draw_state/draw_state.h"
#include "graphics/graphs/graph_handle_table.h"
#include "graphics/graph_load/graph_system.h"
#include "graphics/graphs/graphics_state.h"
#include "graphics/mask/mask_drivers.h"
#include "graphics/surfaces/surface_2d.h"
#include "graphics/surfaces/surface_data.h"
#include "softrender/rules/blend_tables.h"
#include "tests/graphics/drivers/graphics_driver_reset.h"
#include "tests/support/log_test_fixture.h"

// Fills `width` x `height` 32-bit pixels whose rows lie `pitch` bytes apart so that every
// pixel differs: `seed`, plus 0x010000 for each row and 0x0101 for each column.
inline void FillNumberedPixels(uint8_t* pixels, int32_t pitch, int width, int height,
                               uint32_t seed) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t v = seed + 0x010000u * y + 0x0101u * x;
            std::memcpy(pixels + y * pitch + x * 4, &v, 4);
        }
    }
}

class SoftGraphFixture : public LogFixture {
protected:
    void SetUp() override {
        LogFixture::SetUp();
        ResetGraphics();
        screen_ = kAbsentScreen;
        // The back screen's software image is the one the test gives.
        screen_.screenImage = [](HandleValue target) {
            return target == kDrawTargetBack ? target_ : nullptr;
        };
        ScreenSlot().Install(screen_);
        UseSoftwareScreen(32);
        InitGraphSystem();
        SetDrawTarget(kDrawTargetBack);
        // The mask module as graph management plugs it in, with the mask image the test gives.
        masks_ = kMaskScreens;
        masks_.maskImage = [] { return mask_; };
        MaskSlot().Install(masks_);
        savedMmx_ = UseMmx;
        std::memcpy(savedWeights_, BlendWeightMap, sizeof savedWeights_);
        DrawState& s = GetDrawState();
        s.blendMode = 0;
        s.blendParam = 255;
        s.bright = 0xFFFFFF;
        s.drawArea = RECT{0, 0, 640, 480};
        s.blendGraph = kNoHandle;
        s.maskActive = 0;
        target_ = nullptr;
        mask_ = nullptr;
    }

    void TearDown() override {
        ResetGraphics();
        UseMmx = savedMmx_;
        std::memcpy(BlendWeightMap, savedWeights_, sizeof savedWeights_);
        LogFixture::TearDown();
    }

    // The software screen of the given depth (16 or 32): graphs are made in its format.
    static void UseSoftwareScreen(int depth) {
        screen_.isNoDirectDraw = [] { return 1; };
        screen_.hasDirectDrawObject = [] { return 0; };
        screen_.isScreenSoftwareDrawn = [] { return 1; };
        depth_ = depth;
        screen_.getScreenDepth = [] { return depth_; };
    }
    // A screen in DirectDraw surfaces.
    static void UseDirectDrawScreen() {
        screen_.isNoDirectDraw = [] { return 0; };
        screen_.hasDirectDrawObject = [] { return 1; };
        screen_.isScreenSoftwareDrawn = [] { return 0; };
    }
    // Neither software-only mode nor a DirectDraw object.
    static void UseNoScreen() {
        screen_.isNoDirectDraw = [] { return 0; };
        screen_.hasDirectDrawObject = [] { return 0; };
    }

    static void SetTarget(MEMIMG* image) { target_ = image; }
    static void SetMask(MEMIMG* image) { mask_ = image; }

    // The software image behind a graph's own pixels (the whole surface data).
    static MEMIMG* ImageOf(HandleValue graph) {
        const GraphRecord* g = GetGraphRecord(graph);
        const Surface2DRecord* view = g != nullptr ? GetSurface2D(g->surfaces[0]) : nullptr;
        SurfaceDataRecord* data = view != nullptr ? GetSurfaceData(view->surfaceData) : nullptr;
        return data != nullptr ? &data->image : nullptr;
    }

    // A new graph whose software image holds numbered pixels from `seed` (FillNumberedPixels).
    HandleValue MakeNumberedGraph(int w, int h, uint32_t seed) {
        const HandleValue graph = CreateBlankGraph(w, h, 1);
        EXPECT_GE(graph, 0);
        MEMIMG* image = ImageOf(graph);
        EXPECT_NE(image, nullptr);
        if (image == nullptr) return graph;
        FillNumberedPixels(image->pixels, image->pitch, image->width, image->height, seed);
        return graph;
    }

private:
    static void ResetGraphics() {
        GraphicsState& state = GetGraphicsState();
        state.graphicsUp = 1;
        TermGraphSystem();
        ClearSurfaceTables();
        ClearGraphicsState();
        state.restoreCallback = nullptr;
        ResetGraphicsDrivers();
    }

    static inline ScreenDriver screen_ = {};
    static inline MEMIMG* target_ = nullptr;
    static inline MEMIMG* mask_ = nullptr;
    static inline MaskDriver masks_ = {};
    static inline int depth_ = 32;
    int32_t savedMmx_ = 0;
    uint8_t savedWeights_[256]{};
};
