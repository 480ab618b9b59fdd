// The window backends' records as a program hands them down: the window layer chooses one by
// ZN_VIDEO, and the input and sound layers take the input backend, the audio output and the
// null sink from the chosen record, whatever its backend calls itself. Nothing handed down ends
// the program saying so.
#include "platform/window/backend_record.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "platform/backend/backend_entries.h"
#include "platform/core/clock.h"
#include "platform/dinput/input_backend.h"
#include "platform/dsound/dsound.h"
#include "platform/dsound/sound_mixer.h"
#include "platform/testing/backend_test_controls.h"
#include "platform/testing/input_test_controls.h"
#include "platform/testing/sound_test_controls.h"
#include "platform/testing/test_controls.h"
#include "platform/testing/window_test_controls.h"
#include "platform/window/window.h"

namespace {

// What each stand-in record was asked for: [0] the display's record, [1] the headless one's.
struct Calls {
    int window = 0;
    int input = 0;
    int audio = 0;
    int nullSink = 0;
};
Calls g_calls[2];
bool g_displayStarts = true;
bool g_displayInputStarts = true;

// Both records make headless windows and the test pads: what tells them apart is which entries
// were called.
template <int K>
plat::WindowBackend* StandInWindow() {
    ++g_calls[K].window;
    if (K == 0 && !g_displayStarts) return nullptr;
    return plat::CreateHeadlessBackend();
}
template <int K>
plat::InputBackend* StandInInput() {
    ++g_calls[K].input;
    if (K == 0 && !g_displayInputStarts) return nullptr;
    return plat::CreateTestInputBackend();
}
template <int K>
std::unique_ptr<plat::snd::AudioSink> StandInAudio(plat::snd::Mixer*) {
    ++g_calls[K].audio;
    return nullptr;
}
template <int K>
std::unique_ptr<plat::snd::AudioSink> StandInNullSink(plat::snd::Mixer* mixer) {
    ++g_calls[K].nullSink;
    return plat::snd::MakeHeadlessNullAudioSink(mixer);
}
template <int K>
constexpr plat::BackendRecord kStandIn = {.makeWindow = StandInWindow<K>,
                                          .makeInput = StandInInput<K>,
                                          .openAudio = StandInAudio<K>,
                                          .makeNullSink = StandInNullSink<K>};
constexpr plat::BackendRecords kStandIns = {.sdl2 = &kStandIn<0>, .headless = &kStandIn<1>};

class BackendRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* video = std::getenv("ZN_VIDEO")) video_ = video;
        plat::ResetTestControls();
        plat::ResetWindowTestControls();
        plat::ResetSoundTestControls();
        // The audio output is asked for on the real clock only.
        plat::UseVirtualClock(false);
        g_calls[0] = g_calls[1] = Calls{};
        g_displayStarts = g_displayInputStarts = true;
    }

    void TearDown() override {
        if (video_) {
            setenv("ZN_VIDEO", video_->c_str(), 1);
        } else {
            unsetenv("ZN_VIDEO");
        }
        plat::ResetWindowTestControls();
        plat::HandDownPlatformBackendsAfresh();
        plat::ResetWindowTestControls();
        plat::ResetInputTestControls();
        plat::ResetSoundTestControls();
        plat::ResetTestControls();
    }

    // A sound device made and released; the sink it got.
    static std::string SinkOfANewDevice() {
        plat::IDirectSound* device = nullptr;
        EXPECT_EQ(plat::DirectSoundCreate(nullptr, &device, nullptr), plat::DS_OK);
        if (device == nullptr) return "";
        const std::string name = plat::CurrentSoundSinkName();
        device->Release();
        return name;
    }

    std::optional<std::string> video_;
};

TEST_F(BackendRecordTest, InputAndSoundComeFromTheRecordZnVideoChooses) {
    struct Case {
        const char* video;
        bool displayStarts;
        int chosen;        // the record whose backend is in use
        int displayTried;  // times the display's window backend was asked for
    };
    const Case cases[] = {
        {"headless", true, 1, 0},
        {"sdl2", true, 0, 1},
        {"sdl2", false, 1, 1},  // SDL's video cannot start: headless, with everything of it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.video) + (c.displayStarts ? "" : ", no display"));
        g_calls[0] = g_calls[1] = Calls{};
        g_displayStarts = c.displayStarts;
        plat::HandDownBackendsAfresh(kStandIns);
        setenv("ZN_VIDEO", c.video, 1);

        EXPECT_STREQ(plat::WindowBackendName(), "headless");  // the stand-ins' windows
        EXPECT_EQ(&plat::ChosenBackendRecord(), c.chosen == 0 ? &kStandIn<0> : &kStandIn<1>);
        plat::GetInputBackend();
        EXPECT_EQ(SinkOfANewDevice(), "null");

        const Calls& chosen = g_calls[c.chosen];
        const Calls& other = g_calls[1 - c.chosen];
        EXPECT_EQ(g_calls[0].window, c.displayTried);
        EXPECT_EQ(chosen.window, 1);
        EXPECT_EQ(chosen.input, 1);
        EXPECT_EQ(chosen.audio, 1);
        EXPECT_EQ(chosen.nullSink, 1);
        EXPECT_EQ(other.input, 0);
        EXPECT_EQ(other.audio, 0);
        EXPECT_EQ(other.nullSink, 0);
    }
}

TEST_F(BackendRecordTest, InputThatCannotStartComesFromTheHeadlessRecord) {
    g_displayInputStarts = false;
    plat::HandDownBackendsAfresh(kStandIns);
    setenv("ZN_VIDEO", "sdl2", 1);
    EXPECT_EQ(&plat::ChosenBackendRecord(), &kStandIn<0>);
    EXPECT_STREQ(plat::GetInputBackend().Name(), "test");
    EXPECT_EQ(g_calls[0].input, 1);
    EXPECT_EQ(g_calls[1].input, 1);
    EXPECT_EQ(g_calls[1].window, 0);
}

// The platform's own records under ZN_VIDEO=headless: the headless backend with the test pads
// and the clocked null sink.
TEST_F(BackendRecordTest, ThePlatformsHeadlessRecordGivesHeadlessInputAndTheNullSink) {
    plat::HandDownPlatformBackendsAfresh();
    setenv("ZN_VIDEO", "headless", 1);
    EXPECT_STREQ(plat::WindowBackendName(), "headless");
    EXPECT_EQ(&plat::ChosenBackendRecord(), &plat::kHeadlessBackendRecord);
    EXPECT_STREQ(plat::GetInputBackend().Name(), "test");
    EXPECT_EQ(SinkOfANewDevice(), "null");
}

// Before a backend is chosen, a sound device takes the headless record's null sink and chooses
// no backend (that would bind the backend thread to the sound's caller).
TEST_F(BackendRecordTest, ASoundDeviceBeforeAnyBackendChoosesNone) {
    plat::HandDownBackendsAfresh(kStandIns);
    EXPECT_EQ(SinkOfANewDevice(), "null");
    EXPECT_EQ(g_calls[1].nullSink, 1);
    EXPECT_EQ(g_calls[0].window + g_calls[1].window, 0);
    EXPECT_EQ(g_calls[0].audio + g_calls[1].audio, 0);
}

TEST_F(BackendRecordTest, NothingHandedDownEndsTheProgramSayingSo) {
    EXPECT_DEATH(
        {
            plat::HandDownBackendsAfresh({});
            plat::WindowBackendName();
        },
        "No window backend was handed down to the platform");
}

}  // namespace
