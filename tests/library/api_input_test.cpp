#include "library/public/api.h"
#include "system/window_data.h"
#include "tests/support/input_fixture.h"
#include "base/api_lock.h"

namespace {

using ApiInputTest = InputFixture;

// The input entries give the routines' results and leave the library lock free.
TEST_F(ApiInputTest, EntriesReadUnderTheLock) {
    Start();
    plat::SetTestKey('Z', true);
    AdvanceMs(1);
    char keys[256];
    EXPECT_EQ(ApiReadKeyStates(keys), 0);
    EXPECT_EQ(keys[0x2C], 1);
    EXPECT_EQ(keys[0x2D], 0);
    EXPECT_EQ(ApiReadPadInputBits(0x1001), 0x10);
    EXPECT_EQ(ApiCheckAnyInput(1), 0x2C);
    EXPECT_EQ(ApiReadKeyStates(nullptr), -1);
    EXPECT_EQ(GetApiLockState().locked, 0u);
    EXPECT_EQ(GetApiLockState().recursion, 0);
    DestroyApiLock(&GetApiLockState());
}

}  // namespace
