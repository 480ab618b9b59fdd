// The mask bitmap and the mask screen: made for the screen's size on either road, filled by
// rectangles and by stamped mask images in a table of sizes and places (partly or wholly off
// the screen), released, ended with graphics, and the fatal exit when the screen cannot be made.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/fatal_exit.h"
#include "graphics/mask/mask_drivers.h"
#include "graphics/mask/mask_screen.h"
#include "platform/testing/ddraw_test_controls.h"
#include "tests/graphics/mask/mask_test_support.h"

namespace {

using namespace mask_test;

class MaskScreenTest : public MaskRoadFixture {};

TEST_F(MaskScreenTest, GraphicsStartInstallsTheMaskDrivers) {
    // The fixture started graph management.
    EXPECT_EQ(MaskSlot()->maskSurface, kMaskScreens.maskSurface);
    EXPECT_EQ(MaskBracketSlot()->beginMaskBracket, kMaskBracket.beginMaskBracket);
}

// Every byte of the mask as it is.
std::vector<int> MaskBytes() {
    std::vector<int> out;
    for (int32_t y = 0; y < kScreenH; ++y) {
        for (int32_t x = 0; x < kScreenW; ++x) out.push_back(GetMaskByte(x, y));
    }
    return out;
}

TEST_F(MaskScreenTest, TheMaskIsMadeForTheScreenOnEachRoad) {
    for (Road road : {Road::kSoftwareScreen, Road::kDirectDraw}) {
        for (int bits : {16, 32}) {
            SCOPED_TRACE(std::string(RoadName(road)) + ", " + std::to_string(bits) + " bits");
            StartRoad(road, bits);
            EXPECT_EQ(MaskScreenExists(), 0);
            ASSERT_EQ(RequestMaskScreen(1), 0);
            const MaskState& m = GetMaskState();
            ASSERT_NE(m.bits, nullptr);
            EXPECT_EQ(m.pitch, kScreenW);  // 96 is a multiple of 4 already
            EXPECT_EQ(m.width, kScreenW);
            EXPECT_EQ(m.height, kScreenH);
            EXPECT_EQ(MaskBytes(), std::vector<int>(kScreenW * kScreenH, 0));
            EXPECT_EQ(MaskScreenExists(), 1);
            if (road == Road::kSoftwareScreen) {
                EXPECT_EQ(m.isMemImg, 1);
                EXPECT_EQ(GetMaskSurface(), nullptr);
                EXPECT_EQ(GetMaskMemImg()->magic, MEMIMG_MAGIC);
                EXPECT_EQ(GetMaskMemImg()->width, kScreenW);
                EXPECT_EQ(GetMaskMemImg()->pixelFormat,
                          bits == 16 ? MEMIMG_FORMAT_565 : MEMIMG_FORMAT_32);
                EXPECT_EQ(GetDrawState().maskInVideoMemory, 0);
            } else {
                EXPECT_EQ(m.isMemImg, 0);
                ASSERT_NE(GetMaskSurface(), nullptr);
                plat::SurfaceDesc desc{};
                ASSERT_EQ(GetMaskSurface()->GetSurfaceDesc(&desc), plat::DD_OK);
                EXPECT_EQ(desc.width, static_cast<uint32_t>(kScreenW));
                EXPECT_EQ(desc.pixelFormat.bitCount, static_cast<uint32_t>(bits));
                plat::SurfaceCaps caps{};
                GetMaskSurface()->GetCaps(&caps);
                EXPECT_EQ(GetDrawState().maskInVideoMemory,
                          (caps.caps & plat::DDSCAPS_VIDEOMEMORY) != 0 ? 1 : 0);
            }
            // Asking again makes nothing new.
            const uint8_t* bitsBefore = m.bits;
            ASSERT_EQ(RequestMaskScreen(1), 0);
            EXPECT_EQ(m.bits, bitsBefore);

            ASSERT_EQ(SetMaskEnabled(1), 0);
            EXPECT_EQ(GetMaskEnabled(), 1);
            EXPECT_EQ(GetDrawState().maskActive, 1);
            // Giving the mask up ends mask drawing and frees everything.
            ASSERT_EQ(RequestMaskScreen(0), 0);
            EXPECT_EQ(GetDrawState().maskActive, 0);
            EXPECT_EQ(GetMaskEnabled(), 0);
            EXPECT_EQ(m.bits, nullptr);
            EXPECT_EQ(MaskScreenExists(), 0);
            EXPECT_EQ(GetMaskSurface(), nullptr);
            EXPECT_EQ(SetMaskEnabled(1), -1);
            StopRoad();
        }
    }
}

TEST_F(MaskScreenTest, ABitmapWithoutAScreenWantedNeverMakesTheMaskActive) {
    StartRoad(Road::kSoftwareScreen, 16);
    ASSERT_EQ(CreateMaskScreen(1, 0), 0);
    EXPECT_EQ(MaskScreenExists(), 0);
    EXPECT_EQ(SetMaskEnabled(1), 0);
    EXPECT_EQ(GetMaskEnabled(), 1);
    EXPECT_EQ(GetDrawState().maskActive, 0);
}

struct FillCase {
    const char* name;
    RECT rect;
};

TEST_F(MaskScreenTest, RectanglesFillTheMaskClippedToIt) {
    const FillCase cases[] = {
        {"inside", {10, 5, 30, 20}},
        {"corners swapped", {30, 20, 10, 5}},
        {"partly off the top-left", {-8, -3, 6, 4}},
        {"partly off the bottom-right", {90, 60, 120, 80}},
        {"covering more than the screen", {-100, -100, 500, 500}},
        {"wholly off the screen", {200, 10, 300, 20}},
        {"empty", {40, 40, 40, 50}},
    };
    StartRoad(Road::kSoftwareScreen, 16);
    EXPECT_EQ(FillMaskRect(0, 0, 10, 10, 1), -1);  // no bitmap yet
    ASSERT_EQ(RequestMaskScreen(1), 0);
    for (const FillCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(FillMaskRect(0, 0, kScreenW, kScreenH, 0), 0);
        ASSERT_EQ(FillMaskRect(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom, 7), 0);
        const int32_t l = std::min(c.rect.left, c.rect.right);
        const int32_t r = std::max(c.rect.left, c.rect.right);
        const int32_t t = std::min(c.rect.top, c.rect.bottom);
        const int32_t b = std::max(c.rect.top, c.rect.bottom);
        int wrong = 0;
        for (int32_t y = 0; y < kScreenH; ++y) {
            for (int32_t x = 0; x < kScreenW; ++x) {
                const int expected = x >= l && x < r && y >= t && y < b ? 7 : 0;
                if (GetMaskByte(x, y) != expected) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
    EXPECT_EQ(GetMaskByte(-1, 0), -1);
    EXPECT_EQ(GetMaskByte(kScreenW, 0), -1);
    EXPECT_EQ(GetMaskByte(0, kScreenH), -1);
}

struct StampCase {
    const char* name;
    int32_t width, height, x, y;
    int32_t transparent;
};

// Mask images of several sizes, stamped at several places: a filled frame of value 5 around
// zeros (each image's inner part), copied opaque or with its zeros left out.
TEST_F(MaskScreenTest, MaskImagesAreMadeFilledDrawnAndDeleted) {
    const StampCase cases[] = {
        {"one byte", 1, 1, 3, 4, 0},
        {"small inside", 6, 5, 20, 10, 0},
        {"small inside, zeros left out", 6, 5, 20, 10, 1},
        {"odd width partly off the left", 13, 7, -5, 30, 0},
        {"partly off the bottom-right", 20, 20, 85, 55, 0},
        {"partly off the top, zeros left out", 9, 9, 50, -4, 1},
        {"larger than the screen", 200, 100, -50, -20, 0},
        {"wholly off the screen", 8, 8, 300, 300, 0},
        {"far off at the edge of int", 8, 8, 2147483640, -2147483640, 0},
    };
    StartRoad(Road::kSoftwareScreen, 32);
    ASSERT_EQ(RequestMaskScreen(1), 0);
    for (const StampCase& c : cases) {
        SCOPED_TRACE(c.name);
        MaskImage image{};
        ASSERT_EQ(MakeMaskImage(c.width, c.height, &image), 0);
        ASSERT_NE(image.bits, nullptr);
        EXPECT_EQ(image.width, c.width);
        ASSERT_EQ(FillMaskImage(&image, 0, 0, c.width, c.height, 5), 0);
        if (c.width > 2 && c.height > 2) {
            ASSERT_EQ(FillMaskImage(&image, 1, 1, c.width - 1, c.height - 1, 0), 0);
        }
        // A background of 9 shows what the zeros leave alone.
        ASSERT_EQ(FillMaskRect(0, 0, kScreenW, kScreenH, 9), 0);
        ASSERT_EQ(DrawMaskImage(c.x, c.y, &image, c.transparent), 0);
        int wrong = 0;
        for (int32_t y = 0; y < kScreenH; ++y) {
            for (int32_t x = 0; x < kScreenW; ++x) {
                const int64_t ix = int64_t{x} - c.x, iy = int64_t{y} - c.y;
                int expected = 9;
                if (ix >= 0 && iy >= 0 && ix < c.width && iy < c.height) {
                    const bool frame = ix == 0 || iy == 0 || ix == c.width - 1 || iy == c.height - 1;
                    expected = frame ? 5 : (c.transparent ? 9 : 0);
                }
                if (GetMaskByte(x, y) != expected) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0);
        DeleteMaskImage(&image);
        EXPECT_EQ(image.bits, nullptr);
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(FillMaskImage(&image, 0, 0, 1, 1, 1), -1);
        EXPECT_EQ(DrawMaskImage(0, 0, &image, 0), -1);
        DeleteMaskImage(&image);  // an empty one is left alone
    }
}

TEST_F(MaskScreenTest, BadMaskImageSizesAreRefusedWithALogLine) {
    for (auto [w, h] : {std::pair{0, 4}, std::pair{4, 0}, std::pair{-3, 5}, std::pair{1 << 16, 1 << 16}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        MaskImage image{7, 7, nullptr};
        EXPECT_EQ(MakeMaskImage(w, h, &image), -1);
        EXPECT_EQ(image.bits, nullptr);
        EXPECT_EQ(image.width, 0);
    }
    EXPECT_NE(LogText().find("マスクイメージのサイズが不正です"), std::string::npos);
}

TEST_F(MaskScreenTest, AMaskScreenThatCannotBeMadeGoesToTheFatalExit) {
    static std::string gFatalText;
    const FatalExitDriver recording = {
        .exit = [](const char* text) {
            gFatalText = text;
            return -1;
        },
    };
    FatalExitSlot().Install(recording);
    StartRoad(Road::kDirectDraw, 16);
    plat::FailNextSurfaceCreates(1);
    EXPECT_EQ(RequestMaskScreen(1), -1);
    EXPECT_EQ(gFatalText, "マスク用サーフェスの作成に失敗しました");
    EXPECT_EQ(MaskScreenExists(), 0);
    FatalExitSlot().Reset();
}

TEST_F(MaskScreenTest, ReleaseAndRecreateAroundADisplayChangeKeepTheSwitchNotTheBytes) {
    StartRoad(Road::kDirectDraw, 32);
    ASSERT_EQ(RequestMaskScreen(1), 0);
    ASSERT_EQ(FillMaskRect(0, 0, 10, 10, 1), 0);
    ASSERT_EQ(SetMaskEnabled(1), 0);
    ASSERT_EQ(ReleaseMaskScreen(), 0);
    EXPECT_EQ(GetMaskState().bits, nullptr);
    EXPECT_EQ(GetMaskSurface(), nullptr);
    ASSERT_EQ(RecreateMaskAfterRestore(), 0);
    EXPECT_NE(GetMaskSurface(), nullptr);
    EXPECT_EQ(GetMaskByte(5, 5), 0);
    EXPECT_EQ(GetDrawState().maskActive, 1);
    EXPECT_EQ(GetMaskEnabled(), 1);
}

TEST_F(MaskScreenTest, GraphicsShutDownEndsTheMask) {
    StartRoad(Road::kSoftwareScreen, 16);
    ASSERT_EQ(RequestMaskScreen(1), 0);
    ASSERT_EQ(SetMaskEnabled(1), 0);
    ASSERT_EQ(TermGraphSystem(), 0);
    EXPECT_EQ(GetMaskState().bits, nullptr);
    EXPECT_EQ(MaskScreenExists(), 0);
    EXPECT_EQ(GetDrawState().maskActive, 0);
    EXPECT_EQ(GetMaskState().screenWanted, 0);
}

}  // namespace

namespace {

// What a mode change and a display change call: whether a mask is kept (asked for, even while
// released), and the remake for the new screen, switched on only when asked.
TEST_F(MaskScreenTest, AModeChangeKeepsAndRemakesTheMaskForAScreenMadeAnew) {
    StartRoad(Road::kSoftwareScreen, 16);
    EXPECT_EQ(MaskScreenKept(), 0);
    ASSERT_EQ(RequestMaskScreen(1), 0);
    EXPECT_EQ(MaskScreenKept(), 1);
    ReleaseMaskScreen();
    EXPECT_EQ(MaskScreenExists(), 0);
    EXPECT_EQ(MaskScreenKept(), 1);  // still wanted
    for (int32_t enabled : {0, 1}) {
        SCOPED_TRACE(enabled);
        ASSERT_EQ(TermMaskScreen(), 0);
        EXPECT_EQ(MaskScreenKept(), 0);
        RemakeMaskScreen(enabled);
        EXPECT_EQ(MaskScreenExists(), 1);
        EXPECT_EQ(GetMaskState().width, kScreenW);
        EXPECT_EQ(GetMaskByte(kScreenW - 1, kScreenH - 1), 0);
        EXPECT_EQ(GetDrawState().maskActive, enabled);
    }
    ReleaseMaskScreen();
    RecreateMaskAfterRestore();
    EXPECT_EQ(MaskScreenExists(), 1);
    EXPECT_EQ(GetDrawState().maskActive, 1);
}

}  // namespace
