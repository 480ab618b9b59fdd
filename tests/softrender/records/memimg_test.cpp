#include "softrender/records/memimg.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "graphics/drivers/screen_driver.h"
#include "platform/testing/test_controls.h"
#include "system/window_data.h"
#include "tests/support/log_test_fixture.h"

namespace {

// A fresh log in a temporary directory and an empty tracked-memory list per test, so that
// allocations and log lines can be counted.
class MemImgTest : public LogFixture {
protected:
    void TearDown() override {
        ReleaseMemImg(&image_);
        ScreenSlot().Reset();  // a test that installed a screen driver may have stopped early
        LogFixture::TearDown();
    }

    static uint32_t LiveBlocks() { return GetAllocState().count; }

    MEMIMG image_{};
};

// ---- creation and the pitch rule -----------------------------------------------------------

struct PitchCase {
    int width;
    int pixelFormat, paletted, alpha;
    int pitchIn;
    int pitch, pitchShift, bytesPerPixel;
};

class MemImgPitchTest : public MemImgTest, public ::testing::WithParamInterface<PitchCase> {};

TEST_P(MemImgPitchTest, PitchAndPitchShift) {
    const PitchCase& c = GetParam();
    ASSERT_EQ(CreateMemImg(&image_, c.width, 3, c.pitchIn, 0, c.pixelFormat, c.paletted, c.alpha),
              0);
    EXPECT_EQ(image_.pitch, c.pitch);
    EXPECT_EQ(image_.pitchShift, c.pitchShift);
    EXPECT_EQ(image_.colorFormat->bytes, c.bytesPerPixel);
    EXPECT_EQ(MemImgBytesPerPixel(image_.pixelFormat, image_.paletted, image_.alpha),
              c.bytesPerPixel);
    EXPECT_EQ(GetAllocState().totalSize, static_cast<uint32_t>(c.pitch * 3));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemImgPitchTest,
    ::testing::Values(PitchCase{100, 0, 0, 0, -1, 208, -1, 2},
                      PitchCase{256, 0, 0, 0, -1, 512, 9, 2},
                      PitchCase{4, 0, 0, 0, -1, 16, -1, 2},  // 8-byte row padded to 16
                      PitchCase{8, 1, 0, 0, -1, 32, 5, 4},
                      PitchCase{3, 1, 0, 0, -1, 16, 4, 4},
                      PitchCase{100, 0, 0, 1, -1, 400, -1, 4},  // 5-6-5 with alpha: 4 bytes
                      PitchCase{100, 1, 1, 0, -1, 112, -1, 1},  // paletted: 1 byte
                      PitchCase{64, 2, 0, 0, -1, 64, 6, 1},
                      PitchCase{64, 3, 0, 0, -1, 128, 7, 2},
                      // A given pitch is kept; its shift follows the same rule.
                      PitchCase{100, 0, 0, 0, 1024, 1024, 10, 2},
                      PitchCase{100, 0, 0, 0, 300, 300, -1, 2}));

TEST_F(MemImgTest, CreateStoresTheRecordAndItsStandardFormat) {
    ASSERT_EQ(CreateMemImg(&image_, 10, 20, -1, 0x1234, 1, 0, 1), 0);
    EXPECT_EQ(image_.magic, MEMIMG_MAGIC);
    EXPECT_EQ(image_.width, 10);
    EXPECT_EQ(image_.height, 20);
    EXPECT_EQ(image_.colorKey, 0x1234u);
    EXPECT_EQ(image_.pixelFormat, 1);
    EXPECT_EQ(image_.alpha, 1);
    EXPECT_EQ(image_.paletted, 0);
    EXPECT_EQ(image_.paletteCount, 0);
    EXPECT_EQ(image_.pixelsBorrowed, 0);
    EXPECT_EQ(image_.palette, image_.paletteData);
    EXPECT_EQ(image_.colorFormat, &GetStandardColorFormat(1, 1, 0)->format);
    EXPECT_EQ(MemImgHasPixels(&image_), 1);
    EXPECT_EQ(LiveBlocks(), 1u);
}

struct FlagCase {
    int pixelFormat, paletted, alpha;
    int storedPaletted, storedAlpha;
};

class MemImgFlagTest : public MemImgTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(MemImgFlagTest, PaletteAndAlphaAreNormalised) {
    const FlagCase& c = GetParam();
    ASSERT_EQ(CreateMemImg(&image_, 8, 8, -1, 0, c.pixelFormat, c.paletted, c.alpha), 0);
    EXPECT_EQ(image_.paletted, c.storedPaletted);
    EXPECT_EQ(image_.alpha, c.storedAlpha);
    EXPECT_EQ(image_.colorFormat,
              &GetStandardColorFormat(c.pixelFormat, c.storedAlpha, c.storedPaletted)->format);
}

INSTANTIATE_TEST_SUITE_P(Cases, MemImgFlagTest,
                         ::testing::Values(FlagCase{0, 1, 1, 1, 0},  // paletted keeps alpha 0
                                           FlagCase{1, 1, 1, 1, 0},
                                           FlagCase{0, 0, 5, 0, 1},
                                           FlagCase{2, 1, 1, 0, 0},  // raw: neither
                                           FlagCase{3, 1, 0, 0, 0},
                                           FlagCase{3, 0, 1, 0, 0}));

TEST_F(MemImgTest, CreatingOverALiveRecordIsRefusedAndChangesNothing) {
    ASSERT_EQ(CreateMemImg(&image_, 10, 10, -1, 0, 0, 0, 0), 0);
    const MEMIMG before = image_;
    NewLogText();
    EXPECT_EQ(CreateMemImg(&image_, 20, 20, -1, 0, 1, 0, 0), -1);
    EXPECT_EQ(std::memcmp(&before, &image_, sizeof(MEMIMG)), 0);
    EXPECT_FALSE(NewLogText().empty());
    EXPECT_EQ(InitMemImgPlain(&image_, 20, 20, 1), -1);
    EXPECT_EQ(std::memcmp(&before, &image_, sizeof(MEMIMG)), 0);
    EXPECT_EQ(LiveBlocks(), 1u);
}

struct BadSizeCase {
    const char* name;
    int width, height, pitch, pixelFormat;
};

class MemImgBadSizeTest : public MemImgTest, public ::testing::WithParamInterface<BadSizeCase> {};

TEST_P(MemImgBadSizeTest, RefusedWithoutAllocating) {
    const BadSizeCase& c = GetParam();
    NewLogText();
    EXPECT_EQ(CreateMemImg(&image_, c.width, c.height, c.pitch, 0, c.pixelFormat, 0, 0), -1);
    EXPECT_EQ(image_.magic, 0u);
    EXPECT_EQ(image_.pixels, nullptr);
    EXPECT_EQ(LiveBlocks(), 0u);
    EXPECT_FALSE(NewLogText().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemImgBadSizeTest,
    ::testing::Values(BadSizeCase{"NegativeWidth", -1, 10, -1, 0},
                      BadSizeCase{"NegativeHeight", 10, -1, -1, 0},
                      // 65536 × 65536 × 4 bytes is far past the bound; the product would
                      // wrap in 32 bits.
                      BadSizeCase{"Huge", 65536, 65536, -1, 1},
                      BadSizeCase{"RowOverflows", 0x7FFFFFF0, 1, -1, 1},
                      BadSizeCase{"PitchShorterThanRow", 100, 10, 100, 0},
                      BadSizeCase{"NegativePitch", 10, 10, -64, 0},
                      BadSizeCase{"UnknownFormat", 10, 10, -1, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MemImgTest, FailedAllocationLeavesTheRecordUninitialisedAndReusable) {
    plat::FailNextAllocations(1);
    EXPECT_EQ(CreateMemImg(&image_, 32, 32, -1, 0, 1, 0, 0), -1);
    EXPECT_EQ(image_.magic, 0u);
    EXPECT_EQ(image_.pixels, nullptr);
    EXPECT_EQ(LiveBlocks(), 0u);
    ASSERT_EQ(CreateMemImg(&image_, 32, 32, -1, 0, 1, 0, 0), 0);
    EXPECT_EQ(LiveBlocks(), 1u);
}

TEST_F(MemImgTest, BorrowedPixelsAreUsedAndNeverFreed) {
    std::vector<uint8_t> buffer(64 * 4, 0xAB);
    image_.pixels = buffer.data();
    ASSERT_EQ(CreateMemImg(&image_, 16, 4, 64, 0, 1, 0, 0), 0);
    EXPECT_EQ(image_.pixels, buffer.data());
    EXPECT_EQ(image_.pixelsBorrowed, 1);
    EXPECT_EQ(LiveBlocks(), 0u);
    ReleaseMemImg(&image_);
    EXPECT_EQ(image_.pixels, nullptr);
    EXPECT_EQ(image_.magic, 0u);
    EXPECT_EQ(buffer[0], 0xAB);
    EXPECT_EQ(LiveBlocks(), 0u);
}

TEST_F(MemImgTest, ReleaseFreesOwnPixelsOnceAndAllowsRecreation) {
    ASSERT_EQ(InitMemImgPlain(&image_, 10, 10, 0), 0);
    EXPECT_EQ(LiveBlocks(), 1u);
    ReleaseMemImg(&image_);
    EXPECT_EQ(LiveBlocks(), 0u);
    EXPECT_EQ(image_.magic, 0u);
    EXPECT_EQ(MemImgHasPixels(&image_), 0);
    ReleaseMemImg(&image_);  // an uninitialised record is left alone
    EXPECT_EQ(LiveBlocks(), 0u);
    ASSERT_EQ(CreateMemImg(&image_, 4, 4, -1, 0, 1, 0, 0), 0);
    EXPECT_EQ(LiveBlocks(), 1u);
}

TEST_F(MemImgTest, PlainAndZBufferImages) {
    std::memset(&image_, 0x77, sizeof(image_));  // garbage is zeroed first
    image_.magic = 0;
    ASSERT_EQ(InitMemImgPlain(&image_, 100, 5, 1), 0);
    EXPECT_EQ(image_.pitch, 400);
    EXPECT_EQ(image_.colorKey, 0u);
    EXPECT_EQ(image_.paletted, 0);
    EXPECT_EQ(image_.alpha, 0);
    EXPECT_EQ(image_.pixelsBorrowed, 0);

    MEMIMG z{};
    ASSERT_EQ(InitMemImgZBuffer(&z, 100, 5), 0);
    EXPECT_EQ(z.pixelFormat, MEMIMG_FORMAT_RAW16);
    EXPECT_EQ(z.pitch, 208);
    EXPECT_EQ(z.colorFormat, &GetStandardColorFormat(3, 0, 0)->format);
    ReleaseMemImg(&z);
}

// The display's format: 5-6-5 at a depth of 16 (which a screen reporting 0
// also means), 32-bit at any other depth.
int32_t g_displayDepth = 16;
int32_t DisplayDepthForTest() { return g_displayDepth; }

TEST_F(MemImgTest, PlainImageOfTheDisplayFormatFollowsTheDisplayDepth) {
    // Without a screen the display counts as 16-bit.
    ASSERT_EQ(InitMemImgPlain(&image_, 100, 5, GetDisplayMemImgFormat()), 0);
    EXPECT_EQ(image_.pixelFormat, MEMIMG_FORMAT_565);
    EXPECT_EQ(image_.pitch, 208);
    ReleaseMemImg(&image_);

    static ScreenDriver screen = kAbsentScreen;
    screen.getScreenDepth = DisplayDepthForTest;
    ScreenSlot().Install(screen);
    const struct {
        int32_t depth;
        int32_t pixelFormat;
        int32_t pitch;  // of 100 pixels
    } cases[] = {{16, MEMIMG_FORMAT_565, 208}, {0, MEMIMG_FORMAT_565, 208},
                 {32, MEMIMG_FORMAT_32, 400},  {24, MEMIMG_FORMAT_32, 400},
                 {8, MEMIMG_FORMAT_32, 400}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.depth);
        g_displayDepth = c.depth;
        ASSERT_EQ(InitMemImgPlain(&image_, 100, 5, GetDisplayMemImgFormat()), 0);
        EXPECT_EQ(image_.pixelFormat, c.pixelFormat);
        EXPECT_EQ(image_.pitch, c.pitch);
        EXPECT_EQ(image_.colorFormat, &GetStandardColorFormat(c.pixelFormat, 0, 0)->format);
        EXPECT_EQ(image_.paletted, 0);
        EXPECT_EQ(image_.alpha, 0);
        EXPECT_EQ(LiveBlocks(), 1u);
        ReleaseMemImg(&image_);
    }
    ScreenSlot().Reset();

    // Other formats outside 0..3 stay refused.
    NewLogText();
    EXPECT_EQ(InitMemImgPlain(&image_, 100, 5, -2), -1);
    EXPECT_EQ(InitMemImgPlain(&image_, 100, 5, 4), -1);
    EXPECT_EQ(LiveBlocks(), 0u);
    EXPECT_FALSE(NewLogText().empty());
}

// ---- views ---------------------------------------------------------------------------------

struct ViewCase {
    int pixelFormat, paletted, alpha;
    int x, y;
    ptrdiff_t offset;  // expected byte offset of the view's first pixel
};

class MemImgViewTest : public MemImgTest, public ::testing::WithParamInterface<ViewCase> {};

TEST_P(MemImgViewTest, SharesPixelsAndPaletteAtTheRectangle) {
    const ViewCase& c = GetParam();
    ASSERT_EQ(CreateMemImg(&image_, 100, 50, -1, 7, c.pixelFormat, c.paletted, c.alpha), 0);
    image_.paletteCount = 12;
    MEMIMG view;
    std::memset(&view, 0x55, sizeof(view));
    InitMemImgView(&view, &image_, c.x, c.y, 20, 8);
    EXPECT_EQ(view.pixels - image_.pixels, c.offset);
    EXPECT_EQ(view.magic, MEMIMG_MAGIC);
    EXPECT_EQ(view.width, 20);
    EXPECT_EQ(view.height, 8);
    EXPECT_EQ(view.pitch, image_.pitch);
    EXPECT_EQ(view.pitchShift, image_.pitchShift);
    EXPECT_EQ(view.colorFormat, image_.colorFormat);
    EXPECT_EQ(view.colorKey, 7u);
    EXPECT_EQ(view.pixelFormat, image_.pixelFormat);
    EXPECT_EQ(view.paletted, image_.paletted);
    EXPECT_EQ(view.alpha, image_.alpha);
    EXPECT_EQ(view.paletteCount, 12);
    EXPECT_EQ(view.palette, image_.paletteData);

    // A view owns nothing: releasing one by mistake frees nothing of the parent.
    ReleaseMemImg(&view);
    EXPECT_EQ(LiveBlocks(), 1u);
    EXPECT_NE(image_.pixels, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, MemImgViewTest,
                         ::testing::Values(ViewCase{0, 0, 0, 10, 5, 5 * 208 + 10 * 2},
                                           ViewCase{0, 0, 1, 10, 5, 5 * 400 + 10 * 4},
                                           ViewCase{1, 0, 0, 3, 7, 7 * 400 + 3 * 4},
                                           ViewCase{1, 1, 0, 3, 7, 7 * 112 + 3},
                                           ViewCase{3, 0, 0, 0, 0, 0},
                                           ViewCase{2, 0, 0, 99, 49, 49 * 112 + 99}));

TEST_F(MemImgTest, ViewOfAViewAddsTheOffsets) {
    ASSERT_EQ(CreateMemImg(&image_, 256, 64, -1, 0, 0, 0, 0), 0);
    MEMIMG outer{}, inner{};
    InitMemImgView(&outer, &image_, 16, 8, 100, 40);
    InitMemImgView(&inner, &outer, 4, 2, 10, 10);
    EXPECT_EQ(inner.pixels - image_.pixels, (8 + 2) * 512 + (16 + 4) * 2);
    EXPECT_EQ(inner.pitchShift, 9);
    // Writing through the view lands in the parent.
    inner.pixels[0] = 0x5C;
    EXPECT_EQ(image_.pixels[10 * 512 + 20 * 2], 0x5C);
}

}  // namespace
