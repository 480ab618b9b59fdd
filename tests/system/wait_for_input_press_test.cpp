// Waiting for a key press through the public entries: input held at entry is let go first,
// then the next press is returned; the end of the library ends the wait with 0.
#include <gtest/gtest.h>

#include "platform/testing/input_test_controls.h"
#include "platform/window/window_messages.h"
#include "tests/support/library_fixture.h"

namespace {

// What happens at which message-pump call (0: never). Input reads pump too, so the wait pumps
// twice per round.
struct Script {
    int releaseSpaceAt = 0;
    int pressBAt = 0;
    int closeAt = 0;
};
Script gScript;
int gPumps = 0;

class WaitForInputPressTest : public LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        StartWithoutPumpThread();  // starts input too
        gScript = Script{};
        gPumps = 0;
        // Each pump call of the wait plays the next step of the script.
        InstallTestPumpServices().stepHttpTransfers = [] {
            ++gPumps;
            if (gPumps == gScript.releaseSpaceAt) plat::SetTestKey(plat::VK_SPACE, false);
            if (gPumps == gScript.pressBAt) plat::SetTestKey('B', true);
            if (gPumps == gScript.closeAt) plat::InjectClose(GetWindowData().window.handle);
        };
    }
};

constexpr int kKeyCodeB = 0x30;  // device key code of B

TEST_F(WaitForInputPressTest, KeyHeldAtEntryIsLetGoBeforeTheNextPressCounts) {
    plat::SetTestKey(plat::VK_SPACE, true);
    gScript.releaseSpaceAt = 3;
    gScript.pressBAt = 6;
    EXPECT_EQ(ApiWaitForInputPress(), kKeyCodeB);
    EXPECT_GE(gPumps, 6);
    plat::SetTestKey('B', false);
}

TEST_F(WaitForInputPressTest, PressAfterEntryIsReturned) {
    gScript.pressBAt = 6;
    EXPECT_EQ(ApiWaitForInputPress(), kKeyCodeB);
    plat::SetTestKey('B', false);
}

TEST_F(WaitForInputPressTest, EndOfTheLibraryEndsTheWaitWithZero) {
    gScript.closeAt = 4;
    EXPECT_EQ(ApiWaitForInputPress(), 0);
    EXPECT_TRUE(IsQuitRequested());
}

TEST_F(WaitForInputPressTest, EndOfTheLibraryEndsTheWaitForARelease) {
    plat::SetTestKey(plat::VK_SPACE, true);
    gScript.closeAt = 3;
    EXPECT_EQ(ApiWaitForInputPress(), 0);
    plat::SetTestKey(plat::VK_SPACE, false);
}

}  // namespace
