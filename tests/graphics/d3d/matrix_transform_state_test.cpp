// The kept world, view and projection transforms: the setters store the matrix and hand it to
// the Direct3D device only while Direct3D is in use.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "graphics/d3d/device.h"
#include "graphics/d3d/matrix.h"
#include "graphics/d3d/transform_state.h"
#include "graphics/graphs/graphics_state.h"
#include "platform/testing/d3d_test_controls.h"
#include "tests/graphics/d3d/device_test_support.h"
#include "tests/graphics/d3d/matrix_test_support.h"

namespace {

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

// Without a library: no device exists.
class MatrixTransformStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearGraphicsState();
        ResetTransformState();
    }
    void TearDown() override {
        ClearGraphicsState();
        ResetTransformState();
    }
};

// With the library started on Direct3D: the device's own transforms and its call log.
class MatrixDeviceTransformTest : public Device3DFixture {
protected:
    void SetUp() override {
        Device3DFixture::SetUp();
        ASSERT_EQ(Start(true), 0);
        ASSERT_NE(GetCurrentDevice3D(), nullptr);
        ASSERT_EQ(GetGraphicsState().direct3DInUse, 1);
        plat::StartD3DCallLog();
    }
    void TearDown() override {
        plat::StopD3DCallLog();
        ResetTransformState();
        Device3DFixture::TearDown();
    }

    static Matrix4 DeviceTransform(int32_t kind) {
        plat::Matrix m{};
        EXPECT_EQ(GetCurrentDevice3D()->GetTransform(static_cast<plat::TransformStateType>(kind), &m),
                  plat::D3D_OK);
        Matrix4 out;
        static_assert(sizeof out == sizeof m);
        std::memcpy(&out, &m, sizeof out);
        return out;
    }

    // The kinds of the device's SetTransform calls since the last look.
    static std::vector<uint32_t> TransformCalls() {
        std::vector<uint32_t> kinds;
        for (const plat::D3DCall& call : CallsNamed(plat::TakeD3DCallLog(), "SetTransform")) {
            kinds.push_back(call.a);
        }
        return kinds;
    }
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

TEST_F(MatrixDeviceTransformTest, SettersStoreTheirOwnMatrixOnlyAndSkipTheDeviceWithoutDirect3D) {
    Matrix4 identity;
    SetIdentityMatrix(&identity);
    std::vector<Matrix4> before;
    for (const Setter& setter : kSetters) before.push_back(DeviceTransform(setter.kind));
    GetGraphicsState().direct3DInUse = 0;
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
    GetGraphicsState().direct3DInUse = 1;
    EXPECT_TRUE(TransformCalls().empty());
    for (size_t i = 0; i < kSetters.size(); ++i) {
        EXPECT_TRUE(MatricesEqual(DeviceTransform(kSetters[i].kind), before[i])) << kSetters[i].name;
    }
}

TEST_F(MatrixDeviceTransformTest, SettersHandTheMatrixToTheDeviceWhileDirect3DIsInUse) {
    for (const Setter& setter : kSetters) {
        SCOPED_TRACE(setter.name);
        const Matrix4 m = ScaleMatrix(2, 3, static_cast<float>(setter.kind));
        EXPECT_EQ(setter.set(&m), 0);
        EXPECT_EQ(TransformCalls(), std::vector<uint32_t>{static_cast<uint32_t>(setter.kind)});
        EXPECT_TRUE(MatricesEqual(DeviceTransform(setter.kind), m));
        EXPECT_TRUE(MatricesEqual(GetTransformState().*setter.slot, m));
    }
}

// Direct3D in use with no device to take the matrix: the setter still keeps it and reports
// nothing.
TEST_F(MatrixTransformStateTest, WithoutADeviceTheMatrixIsKeptAndNothingIsReported) {
    GetGraphicsState().direct3DInUse = 1;
    ASSERT_EQ(GetCurrentDevice3D(), nullptr);
    for (const Setter& setter : kSetters) {
        SCOPED_TRACE(setter.name);
        const Matrix4 m = QuarterTurnZ();
        EXPECT_EQ(setter.set(&m), 0);
        EXPECT_TRUE(MatricesEqual(GetTransformState().*setter.slot, m));
    }
}

TEST_F(MatrixDeviceTransformTest, ANullMatrixIsRefusedAndChangesNothing) {
    ResetTransformState();
    Matrix4 identity;
    SetIdentityMatrix(&identity);
    for (const Setter& setter : kSetters) {
        SCOPED_TRACE(setter.name);
        EXPECT_EQ(setter.set(nullptr), -1);
        EXPECT_TRUE(MatricesEqual(GetTransformState().*setter.slot, identity));
    }
    EXPECT_TRUE(TransformCalls().empty());
}

}  // namespace
