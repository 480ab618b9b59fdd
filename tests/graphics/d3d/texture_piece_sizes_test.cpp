// The cut of a graph side into texture sizes, case by case from the device's texture side
// limits, the screen width and the single-texture request.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/d3d/device.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/drivers/screen_driver.h"

namespace {

int32_t gScreenWidth = 640;

class TextureSizesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDevice3DState();
        screen_ = kAbsentScreen;
        screen_.getScreenDimensions = [](int32_t* width, int32_t* height) {
            if (width != nullptr) *width = gScreenWidth;
            if (height != nullptr) *height = 480;
        };
        ScreenSlot().Install(screen_);
    }
    void TearDown() override {
        ScreenSlot().Reset();
        ResetDevice3DState();
        gScreenWidth = 640;
    }
    ScreenDriver screen_{};
};

struct SizesCase {
    const char* what;
    uint32_t minSide, maxSide;
    int32_t screenWidth;
    int single;
    int32_t size;
    std::vector<int32_t> pieces;
};

// Worked through the steps by hand: base = 32 for small minima, else the minimum; the largest
// piece L is the power of two covering the screen (or the maximum); p halves from L towards the
// size; one texture when the side is below the screen width (or single is asked) and 2p fits
// L; otherwise pieces of p are cut off, the last one doubled when more than three quarters of
// it would be needed, and two equal last pieces merged when their double fits L.
const SizesCase kSizes[] = {
    {"small side, minimum 1: halved from 32 while it still covers", 1, 2048, 640, 0, 10, {16}},
    {"small side at a power of two", 1, 2048, 640, 0, 16, {16}},
    {"just above a power of two below the base", 1, 2048, 640, 0, 17, {32}},
    {"one pixel", 1, 2048, 640, 0, 1, {1}},
    {"small side, minimum 32", 32, 2048, 640, 0, 10, {32}},
    {"small side, minimum above 32", 64, 2048, 640, 0, 10, {64}},
    {"minimum above 32 covering the side", 64, 2048, 640, 0, 40, {64}},
    {"below the screen: one texture", 1, 2048, 640, 0, 100, {128}},
    {"just above 256, below the screen", 1, 2048, 640, 0, 257, {512}},
    {"screen height on a 640 screen", 1, 2048, 640, 0, 480, {512}},
    {"screen width, largest side 256", 1, 256, 640, 0, 640, {256, 256, 128}},
    {"screen width, largest side 2048", 1, 2048, 640, 0, 640, {512, 128}},
    {"above the screen: last piece doubled", 1, 2048, 640, 0, 700, {512, 128, 64}},
    {"above the screen, minimum 128: last two merged", 128, 2048, 640, 0, 700, {512, 256}},
    {"above the screen, cut small", 1, 2048, 640, 0, 800, {512, 256, 32}},
    {"the same side as a single texture", 1, 2048, 640, 1, 800, {1024}},
    {"a wider screen takes a larger piece", 1, 2048, 1280, 0, 1100, {2048}},
    {"the same side on a 640 screen", 1, 2048, 640, 0, 1100, {1024, 64, 32}},
    {"larger than the largest side", 1, 2048, 640, 0, 3000, {1024, 1024, 1024}},
    {"larger than the largest side, single", 1, 2048, 640, 1, 3000, {2048, 1024}},
    {"largest side below 32", 1, 16, 640, 0, 100, {16, 16, 16, 16, 16, 16, 16}},
};

TEST_F(TextureSizesTest, SizesFollowTheCuttingSteps) {
    for (const SizesCase& c : kSizes) {
        SCOPED_TRACE(c.what);
        GetDevice3DState().minTextureSide = c.minSide;
        GetDevice3DState().maxTextureSide = c.maxSide;
        gScreenWidth = c.screenWidth;
        int32_t out[kMaxPiecesPerGraph] = {};
        const int count = ChooseTextureSizes(c.size, out, c.single);
        EXPECT_EQ(std::vector<int32_t>(out, out + count), c.pieces);
    }
}

TEST_F(TextureSizesTest, ASideNeedingMoreThanSixtyFourPiecesIsCountedButNotWrittenPast) {
    GetDevice3DState().minTextureSide = 1;
    GetDevice3DState().maxTextureSide = 16;
    // Room for the table's 64 entries and a guard band behind them.
    int32_t out[kMaxPiecesPerGraph + 8];
    for (int32_t& v : out) v = -7;
    EXPECT_EQ(ChooseTextureSizes(16 * 100, out, 0), 100);
    for (int i = 0; i < kMaxPiecesPerGraph; ++i) EXPECT_EQ(out[i], 16) << i;
    for (int i = kMaxPiecesPerGraph; i < kMaxPiecesPerGraph + 8; ++i) EXPECT_EQ(out[i], -7) << i;
}

TEST_F(TextureSizesTest, TheClosingMergeCountsEvenPastTheWrittenEntries) {
    // 65 pieces of 128 on a 128 maximum would merge their last two only if 256 fitted: it
    // does not, so the count stays 65; with a minimum of 64 the cut ends in two 64s that merge.
    GetDevice3DState().minTextureSide = 1;
    GetDevice3DState().maxTextureSide = 128;
    int32_t out[kMaxPiecesPerGraph];
    EXPECT_EQ(ChooseTextureSizes(128 * 65, out, 0), 65);
    GetDevice3DState().minTextureSide = 64;
    GetDevice3DState().maxTextureSide = 256;
    // 63 × 256 + 80: the 80 left become 64 and then 64 more (16 left, 64 is the base), merged
    // into one 128 piece.
    EXPECT_EQ(ChooseTextureSizes(256 * 63 + 80, out, 0), 64);
    EXPECT_EQ(out[62], 256);
    EXPECT_EQ(out[63], 128);
}

}  // namespace
