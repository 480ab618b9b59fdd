// The kept world, view and projection transforms: the setters store the matrix and hand it to
// the Direct3D device only while Direct3D is in use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/d3d/matrix.h"
#include "graphics/d3d/transform_state.h"
#include "graphics/drivers/device_3d_driver.h"
#include "graphics/graphs/graphics_state.h"
#include "tests/graphics/drivers/graphics_driver_reset.h"
#include "tests/graphics/d3d/matrix_test_support.h"

namespace {

struct DeviceCall {
    int32_t kind;
    Matrix4 matrix;
};
std::vector<DeviceCall> gDeviceCalls;
int gDeviceResult = 0;

int RecordTransform(int32_t kind, const Matrix4* matrix) {
    gDeviceCalls.push_back({kind, *matrix});
    return gDeviceResult;
}

struct Setter {
    std::string name;
    int (*set)(const Matrix4*);
    Matrix4 TransformState::*slot;
    int32_t kind;
};

const std::vector<Setter> kSetters = {
    {"world", SetWorldMatrix, &TransformState::world, kTransformWorld},
    {"view", SetViewMatrix, &TransformState::view, kTransformView},
    {"projection", SetProjectionMatrix, &TransformState::projection, kTransformProjection},
};

class MatrixTransformStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetGraphicsDrivers();
        ClearGraphicsState();
        ResetTransformState();
        gDeviceCalls.clear();
        gDeviceResult = 0;
        device_ = kAbsentDevice3D;
        device_.setDeviceTransform = RecordTransform;
        Device3DSlot().Install(device_);
    }
    void TearDown() override {
        ResetGraphicsDrivers();
        ClearGraphicsState();
        ResetTransformState();
    }

    static inline Device3DDriver device_ = {};
};

TEST_F(MatrixTransformStateTest, StartsAsIdentities) {
    Matrix4 identity;
    SetIdentityMatrix(&identity);
    const TransformState& state = GetTransformState();
    EXPECT_TRUE(MatricesEqual(state.world, identity));
    EXPECT_TRUE(MatricesEqual(state.view, identity));
    EXPECT_TRUE(MatricesEqual(state.projection, identity));
    EXPECT_TRUE(MatricesEqual(state.viewport, identity));
}

TEST_F(MatrixTransformStateTest, SettersStoreTheirOwnMatrixOnlyAndSkipTheDeviceWithoutDirect3D) {
    Matrix4 identity;
    SetIdentityMatrix(&identity);
    for (const Setter& setter : kSetters) {
        SCOPED_TRACE(setter.name);
        ResetTransformState();
        const Matrix4 m = TranslationMatrix(1, 2, static_cast<float>(setter.kind));
        EXPECT_EQ(setter.set(&m), 0);
        const TransformState& state = GetTransformState();
        for (const Setter& other : kSetters) {
            EXPECT_TRUE(MatricesEqual(state.*other.slot, other.kind == setter.kind ? m : identity))
                << other.name;
        }
        EXPECT_TRUE(MatricesEqual(state.viewport, identity));
    }
    EXPECT_TRUE(gDeviceCalls.empty());
}

TEST_F(MatrixTransformStateTest, SettersHandTheMatrixToTheDeviceWhileDirect3DIsInUse) {
    GetGraphicsState().direct3DInUse = 1;
    for (const Setter& setter : kSetters) {
        SCOPED_TRACE(setter.name);
        gDeviceCalls.clear();
        const Matrix4 m = ScaleMatrix(2, 3, static_cast<float>(setter.kind));
        EXPECT_EQ(setter.set(&m), 0);
        ASSERT_EQ(gDeviceCalls.size(), 1u);
        EXPECT_EQ(gDeviceCalls[0].kind, setter.kind);
        EXPECT_TRUE(MatricesEqual(gDeviceCalls[0].matrix, m));
        EXPECT_TRUE(MatricesEqual(GetTransformState().*setter.slot, m));
    }
}

TEST_F(MatrixTransformStateTest, ADeviceRefusalIsNotReportedAndTheMatrixIsKept) {
    GetGraphicsState().direct3DInUse = 1;
    gDeviceResult = -1;
    for (const Setter& setter : kSetters) {
        SCOPED_TRACE(setter.name);
        const Matrix4 m = QuarterTurnZ();
        EXPECT_EQ(setter.set(&m), 0);
        EXPECT_TRUE(MatricesEqual(GetTransformState().*setter.slot, m));
    }
    EXPECT_EQ(gDeviceCalls.size(), kSetters.size());
}

TEST_F(MatrixTransformStateTest, ANullMatrixIsRefusedAndChangesNothing) {
    GetGraphicsState().direct3DInUse = 1;
    Matrix4 identity;
    SetIdentityMatrix(&identity);
    for (const Setter& setter : kSetters) {
        SCOPED_TRACE(setter.name);
        EXPECT_EQ(setter.set(nullptr), -1);
        EXPECT_TRUE(MatricesEqual(GetTransformState().*setter.slot, identity));
    }
    EXPECT_TRUE(gDeviceCalls.empty());
}

TEST_F(MatrixTransformStateTest, WithoutADeviceModuleTheAbsentDriverTakesNothing) {
    Device3DSlot().Reset();
    GetGraphicsState().direct3DInUse = 1;
    const Matrix4 m = TranslationMatrix(4, 5, 6);
    Matrix4 kept;
    EXPECT_EQ(kAbsentDevice3D.setDeviceTransform(kTransformWorld, &m), -1);
    EXPECT_EQ(SetWorldMatrix(&m), 0);
    kept = GetTransformState().world;
    EXPECT_TRUE(MatricesEqual(kept, m));
}

}  // namespace
