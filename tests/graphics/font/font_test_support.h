// Shared set-up of the font and string tests: graph management up on a software-only screen
// of 640 x 480 (its depth chosen by the test, 16 unless said), the fonts plugged in as graph
// management's font driver (so start-up made the default font), and a log to read.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "graphics/font/font.h"
#include "graphics/font/string_draw.h"
#include "graphics/graph_load/graph_system.h"
#include "graphics/graphs/graphics_state.h"
#include "softrender/records/memimg.h"
#include "tests/graphics/drivers/graphics_driver_reset.h"
#include "tests/support/log_test_fixture.h"

class FontFixture : public LogFixture {
protected:
    void SetUp() override {
        LogFixture::SetUp();
        StopGraphics();
        StartGraphics(16);
    }
    void TearDown() override {
        StopGraphics();
        LogFixture::TearDown();
    }

    static void StartGraphics(int32_t depth) {
        depth_ = depth;
        screen_ = kAbsentScreen;
        screen_.isNoDirectDraw = [] { return 1; };
        screen_.isScreenSoftwareDrawn = [] { return 1; };
        screen_.getScreenDepth = [] { return depth_; };
        ScreenSlot().Install(screen_);
        FontSlot().Install(kFontModule);
        InitGraphSystem();
    }
    static void StopGraphics() {
        GraphicsState& state = GetGraphicsState();
        state.graphicsUp = 1;
        TermGraphSystem();
        DeleteAllFonts();
        ResetGraphicsDrivers();
        ClearGraphicsState();
        state.restoreCallback = nullptr;
    }

    static inline ScreenDriver screen_ = {};
    static inline int32_t depth_ = 16;
};

// A plain software image to draw text into, with its pixels as text art.
struct TextCanvas {
    MEMIMG image{};
    TextCanvas(int32_t w, int32_t h, int pixelFormat = MEMIMG_FORMAT_565) {
        InitMemImgPlain(&image, w, h, pixelFormat);
        std::memset(image.pixels, 0, static_cast<size_t>(image.pitch) * h);
    }
    ~TextCanvas() { ReleaseMemImg(&image); }
    TextCanvas(const TextCanvas&) = delete;
    TextCanvas& operator=(const TextCanvas&) = delete;

    uint32_t At(int32_t x, int32_t y) const {
        uint32_t v = 0;
        std::memcpy(&v, image.pixels + static_cast<size_t>(y) * image.pitch +
                            static_cast<size_t>(x) * image.colorFormat->bytes,
                    image.colorFormat->bytes);
        return v;
    }
    // One character per pixel: '.' for 0, and the symbol of each listed value.
    std::vector<std::string> Art(const std::vector<std::pair<uint32_t, char>>& symbols) const {
        std::vector<std::string> rows;
        for (int32_t y = 0; y < image.height; ++y) {
            std::string row;
            for (int32_t x = 0; x < image.width; ++x) {
                const uint32_t v = At(x, y);
                char c = v == 0 ? '.' : '?';
                for (const auto& [value, symbol] : symbols) {
                    if (v == value) c = symbol;
                }
                row += c;
            }
            rows.push_back(row);
        }
        return rows;
    }
    // The smallest rectangle holding every non-zero pixel; empty when there is none.
    RECT Ink() const {
        RECT r{image.width, image.height, 0, 0};
        for (int32_t y = 0; y < image.height; ++y) {
            for (int32_t x = 0; x < image.width; ++x) {
                if (At(x, y) == 0) continue;
                r.left = std::min(r.left, x);
                r.top = std::min(r.top, y);
                r.right = std::max(r.right, x + 1);
                r.bottom = std::max(r.bottom, y + 1);
            }
        }
        return r;
    }
};
