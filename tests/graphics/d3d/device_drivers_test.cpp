// The device's drivers that the rest of graphics holds for the whole run, absent and the
// device's own with Direct3D down, answer alike: a screen or a draw target that runs without
// the device installed sees what it sees when the device cannot start.
#include <gtest/gtest.h>

#include "graphics/d3d/device.h"
#include "graphics/d3d/texture_pieces.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/drivers/texture_piece_access_driver.h"
#include "graphics/drivers/direct_draw_object.h"

namespace {

class Device3DDriversTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDirectDrawObject(nullptr);  // no screen: Direct3D cannot start
        ResetDevice3DState();
    }
    void TearDown() override { ResetDevice3DState(); }
};

TEST_F(Device3DDriversTest, AbsentStartAnswersAsTheDeviceThatCannotStart) {
    struct Case {
        const char* entry;
        int (*call)(const Device3DStartDriver& driver);
        int expected;
    };
    const Case cases[] = {
        {"startDevice", [](const Device3DStartDriver& d) { return d.startDevice(); }, -1},
        {"endDevice", [](const Device3DStartDriver& d) { return d.endDevice(); }, -1},
        {"releaseDeviceObjects",
         [](const Device3DStartDriver& d) { return d.releaseDeviceObjects(); }, -1},
        {"reacquireDeviceObjects",
         [](const Device3DStartDriver& d) { return d.reacquireDeviceObjects(); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(c.call(kDevice3DStart), c.expected);
        EXPECT_EQ(GetDevice3DState().initialised, 0);
        EXPECT_EQ(c.call(kAbsentDevice3DStart), c.expected);
    }
}

TEST_F(Device3DDriversTest, AbsentPieceAccessFindsNoPieceLikeAnEmptyPieceTable) {
    DeleteAllSurface3DData();
    for (const HandleValue piece : {kNoHandle, HandleValue{0}, HandleValue{0x06000001}}) {
        SCOPED_TRACE(piece);
        HandleValue data = 7;
        int32_t x = 3, y = 4;
        EXPECT_EQ(kTexturePieceAccess.findPieceTexture(piece, &data, &x, &y), -1);
        EXPECT_EQ(kAbsentTexturePieceAccess.findPieceTexture(piece, &data, &x, &y), -1);
        // Nothing found, nothing written.
        EXPECT_EQ(data, 7);
        EXPECT_EQ(x, 3);
        EXPECT_EQ(y, 4);
    }
}

}  // namespace
