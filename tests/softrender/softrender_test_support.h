// Shared set-up of the software-kernel tests: images over buffers the test owns, a fixture
// that builds the blend tables and restores the draw state, UseMmx and the weight map, and
// the seeded random content of the differential tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "graphics/draw_state/draw_state.h"
#include "softrender/records/memimg.h"
#include "softrender/rules/blend_tables.h"

// A MEMIMG over a buffer of exactly pitch × height bytes (so that AddressSanitizer sees any
// access past the last row). The record lives on the heap for the same reason: a palette
// copy running past paletteData leaves it.
class TestImage {
public:
    TestImage(int width, int height, int pixelFormat, int paletted = 0, int alpha = 0,
              int extraPitch = 0)
        : image_(std::make_unique<MEMIMG>()) {
        std::memset(image_.get(), 0, sizeof(MEMIMG));
        const int bytes = MemImgBytesPerPixel(pixelFormat, paletted, alpha);
        const int pitch = (width * bytes + 15) / 16 * 16 + extraPitch;
        pixels_.assign(static_cast<size_t>(pitch) * (height > 0 ? height : 1), 0);
        image_->pixels = pixels_.data();
        EXPECT_EQ(CreateMemImg(image_.get(), width, height, pitch, 0, pixelFormat, paletted, alpha),
                  0);
    }
    TestImage(const TestImage& other)
        : image_(std::make_unique<MEMIMG>(*other.image_)), pixels_(other.pixels_) {
        image_->pixels = pixels_.data();
        image_->palette = image_->paletteData;
    }
    TestImage& operator=(const TestImage&) = delete;
    // An empty image has no buffer of the test's, so the library gave it a block of its own.
    ~TestImage() {
        if (image_->magic == MEMIMG_MAGIC && !image_->pixelsBorrowed &&
            image_->pixels != pixels_.data()) {
            ReleaseMemImg(image_.get());
        }
    }

    MEMIMG* get() { return image_.get(); }
    const MEMIMG* get() const { return image_.get(); }
    MEMIMG* operator->() { return image_.get(); }
    const std::vector<uint8_t>& bytes() const { return pixels_; }
    int bytesPerPixel() const {
        return MemImgBytesPerPixel(image_->pixelFormat, image_->paletted, image_->alpha);
    }

    uint32_t Get(int x, int y) const {
        uint32_t v = 0;
        const int b = bytesPerPixel();
        std::memcpy(&v, pixels_.data() + static_cast<size_t>(y) * image_->pitch + x * b,
                    b > 4 ? 4 : b);
        return v;
    }
    void Set(int x, int y, uint32_t v) {
        const int b = bytesPerPixel();
        std::memcpy(pixels_.data() + static_cast<size_t>(y) * image_->pitch + x * b, &v, b);
    }
    void Fill(uint32_t v) {
        for (int y = 0; y < image_->height; ++y) {
            for (int x = 0; x < image_->width; ++x) Set(x, y, v);
        }
    }
    void SetPalette32(int index, uint32_t v) { image_->paletteData[index] = v; }
    void SetPalette16(int index, uint16_t v) {
        reinterpret_cast<uint16_t*>(image_->paletteData)[index] = v;
    }

private:
    std::unique_ptr<MEMIMG> image_;
    std::vector<uint8_t> pixels_;
};

// Builds the tables; restores the draw state, UseMmx and the weight map after each test.
class SoftRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildBlendTables();
        savedState_ = GetDrawState();
        savedMmx_ = UseMmx;
        std::memcpy(savedWeights_, BlendWeightMap, sizeof(savedWeights_));
        DrawState& s = GetDrawState();
        s.blendMode = 0;
        s.blendParam = 255;
        s.bright = 0xFFFFFF;
        s.drawArea = RECT{0, 0, 640, 480};
        UseMmx = 0;
        for (int i = 0; i < 256; ++i) BlendWeightMap[i] = static_cast<uint8_t>(i);
    }
    void TearDown() override {
        GetDrawState() = savedState_;
        UseMmx = savedMmx_;
        std::memcpy(BlendWeightMap, savedWeights_, sizeof(savedWeights_));
    }

    static void SetBlend(int mode, int param) {
        GetDrawState().blendMode = mode;
        GetDrawState().blendParam = param;
    }
    static void SetBright(uint32_t bright) { GetDrawState().bright = bright; }
    static void SetArea(int32_t l, int32_t t, int32_t r, int32_t b) {
        GetDrawState().drawArea = RECT{l, t, r, b};
    }

private:
    DrawState savedState_{};
    int32_t savedMmx_ = 0;
    uint8_t savedWeights_[256]{};
};

// Colours written as (R, G, B) in the tests.
inline uint32_t Rgb32(uint32_t r, uint32_t g, uint32_t b, uint32_t fourth = 0) {
    return (fourth << 24) | (r << 16) | (g << 8) | b;
}
inline uint32_t Rgb565(uint32_t r, uint32_t g, uint32_t b) { return (r << 11) | (g << 5) | b; }

// Byte values that favour the edges (0, 1, 254, 255, 127, 128) a quarter of the time.
inline uint32_t EdgyByte(std::mt19937& rng) {
    static const uint8_t kEdges[] = {0, 1, 2, 127, 128, 129, 254, 255};
    if (rng() % 4 == 0) return kEdges[rng() % 8];
    return rng() & 0xFFu;
}
inline uint32_t EdgyWord32(std::mt19937& rng) {
    return EdgyByte(rng) | (EdgyByte(rng) << 8) | (EdgyByte(rng) << 16) | (EdgyByte(rng) << 24);
}
inline uint32_t EdgyWord565(std::mt19937& rng) {
    static const uint16_t kEdges[] = {0x0000, 0xFFFF, 0x0821, 0x8410, 0x7BEF, 0xF800, 0x07E0,
                                      0x001F};
    if (rng() % 4 == 0) return kEdges[rng() % 8];
    return rng() & 0xFFFFu;
}
