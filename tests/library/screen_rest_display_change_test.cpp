// A display change on a started library makes the screen anew and starts the input devices
// again, so that they are acquired for the window as it is after the change.
#include <gtest/gtest.h>

#include <string>

#include "graphics/drivers/graph_companion_drivers.h"
#include "platform/testing/input_test_controls.h"
#include "platform/window/window_messages.h"
#include "system/input_state.h"
#include "tests/library/screen_rest_fixture.h"

namespace {

// The movie module's display-change steps as a stand-in records them, with whether the screen
// had its surfaces at that moment.
std::string gMovieSteps;
int ReleaseMovies() {
    gMovieSteps += GetScreenState().screenReady && (GetScreenState().back != nullptr ||
                                                    GetScreenState().screenImagesExist)
                       ? "release(screen) "
                       : "release(none) ";
    return 0;
}
int ReopenMovies() {
    gMovieSteps += GetScreenState().back != nullptr || GetScreenState().screenImagesExist
                       ? "reopen(screen) "
                       : "reopen(none) ";
    return 0;
}

class DisplayChangeInputTest : public ScreenRestFixture {
protected:
    // The live pad devices and the cooperative flags of the last one.
    static int PadDevices(uint32_t* flags) {
        int count = 0;
        for (const plat::TestDeviceRecord& r : plat::LiveInputDevices()) {
            if (r.padId == 0) continue;
            ++count;
            *flags = r.cooperativeFlags;
        }
        return count;
    }

    int CountText(const std::string& text) const {
        int count = 0;
        for (const std::string& line : LogLines()) count += line.find(text) != std::string::npos;
        return count;
    }
};

TEST_F(DisplayChangeInputTest, TheInputDevicesAreEndedAndStartedAgainForTheNewDisplay) {
    for (const bool software : {true, false}) {
        SCOPED_TRACE(software ? "software" : "surfaces");
        SetUp();
        plat::AttachTestPad();
        Start(software, true);
        uint32_t flags = 0;
        ASSERT_EQ(PadDevices(&flags), 1);
        ASSERT_EQ(flags, plat::DISCL_EXCLUSIVE | plat::DISCL_FOREGROUND);
        const int endsBefore = CountText("DirectInput 関連の終了処理... 完了");

        plat::SetHeadlessDesktop(1920, 1080, 16);
        plat::SendMessage(Window(), plat::WM_DISPLAYCHANGE, 16, plat::MakeLParam(1920, 1080));
        ASSERT_EQ(GetWindowData().window.displayChanged, 1u);

        // Ended once and running again: the pad is there, acquired for the active window.
        EXPECT_EQ(CountText("DirectInput 関連の終了処理... 完了"), endsBefore + 1);
        EXPECT_EQ(GetInputState().started, 1u);
        flags = 0;
        EXPECT_EQ(PadDevices(&flags), 1);
        EXPECT_EQ(flags, plat::DISCL_EXCLUSIVE | plat::DISCL_FOREGROUND);
        char keys[256];
        EXPECT_EQ(ApiReadKeyStates(keys), 0);
        ApiTermLibrary();
        TearDown();
    }
}

TEST_F(DisplayChangeInputTest, InputLeftOutBeforeStartUpStaysOut) {
    GetWindowData().settings.noInput = 1;
    Start(true, true);
    ASSERT_EQ(GetInputState().started, 0u);
    plat::SetHeadlessDesktop(1920, 1080, 16);
    plat::SendMessage(Window(), plat::WM_DISPLAYCHANGE, 16, plat::MakeLParam(1920, 1080));
    EXPECT_EQ(GetWindowData().window.displayChanged, 1u);
    EXPECT_EQ(GetInputState().started, 0u);
}

TEST_F(DisplayChangeInputTest, MoviesLetGoOfTheOldDisplayAndOpenAgainOnTheNewOne) {
    Start(false, true);
    const MovieDriver& running = *MovieSlot();
    static MovieDriver movies;
    movies = running;
    movies.releaseAllMovieObjects = ReleaseMovies;
    movies.reopenAllMovies = ReopenMovies;
    MovieSlot().Install(movies);
    gMovieSteps.clear();
    plat::SetHeadlessDesktop(1920, 1080, 16);
    plat::SendMessage(Window(), plat::WM_DISPLAYCHANGE, 16, plat::MakeLParam(1920, 1080));
    MovieSlot().Install(running);
    // Released while the old screen still stood, opened again once the new one stands (the
    // window may release them itself first; a second release finds nothing to do).
    EXPECT_NE(gMovieSteps.find("release(screen) "), std::string::npos) << gMovieSteps;
    EXPECT_EQ(gMovieSteps.substr(gMovieSteps.size() - 15), "reopen(screen) ") << gMovieSteps;
    EXPECT_EQ(gMovieSteps.find("reopen(none)"), std::string::npos) << gMovieSteps;
}

}  // namespace
