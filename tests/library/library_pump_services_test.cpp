// The pump's services as the library composes them: in place from the start of start-up to
// the end of shut-down, with the joypad effects' step of the input devices.
#include <gtest/gtest.h>

#include <cstdlib>

#include "library/public/api.h"
#include "system/input.h"
#include "system/pump_services.h"
#include "tests/support/library_fixture.h"

namespace {

class LibraryPumpServicesTest : public LibraryFixture {
protected:
    void SetUp() override {
        setenv("ZN_VIDEO", "headless", 1);
        LibraryFixture::SetUp();
        ResetPumpServices();
    }
};

TEST_F(LibraryPumpServicesTest, StartUpInstallsTheComposedServicesAndShutDownRemovesThem) {
    ASSERT_TRUE(PumpServicesSlot().IsAbsent());
    ASSERT_EQ(ApiInitLibrary(), 0);
    EXPECT_FALSE(PumpServicesSlot().IsAbsent());
    EXPECT_EQ(GetPumpServices().stepJoypadEffects, &StepJoypadEffects);
    // A pump pass runs every step without a module that is missing getting in the way.
    EXPECT_EQ(ApiProcessMessage(), 0);
    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_TRUE(PumpServicesSlot().IsAbsent());
}

}  // namespace
