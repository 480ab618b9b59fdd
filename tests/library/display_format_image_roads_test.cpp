// An image asked for in the display's format (pixel format -1) takes the open screen's format
// on every road: 5-6-5 on a 16-bit display, 32-bit on a 32-bit one; with no screen open (before
// the start and after the end) it is 5-6-5.
#include <gtest/gtest.h>

#include "softrender/records/memimg.h"
#include "tests/support/draw_road_table.h"

namespace {

class DisplayFormatImageRoadsTest : public DrawRoadFixture {
protected:
    // The pixel format of a plain image made in the display's format, or -1 when refused.
    static int FormatOfAPlainImage() {
        MEMIMG image = {};
        if (InitMemImgPlain(&image, 8, 4, -1) != 0) return -1;
        const int format = image.pixelFormat;
        ReleaseMemImg(&image);
        return format;
    }
};

TEST_P(DisplayFormatImageRoadsTest, AnImageInTheDisplaysFormatFollowsTheOpenScreen) {
    EXPECT_EQ(FormatOfAPlainImage(), MEMIMG_FORMAT_565);
    StartOnRoad();
    EXPECT_EQ(FormatOfAPlainImage(),
              GetParam().depth == 16 ? MEMIMG_FORMAT_565 : MEMIMG_FORMAT_32);
    StopRoad();
    EXPECT_EQ(FormatOfAPlainImage(), MEMIMG_FORMAT_565);
}

INSTANTIATE_ON_DRAW_ROADS(DisplayFormatImageRoadsTest);

}  // namespace
