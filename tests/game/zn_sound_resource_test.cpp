#include <gtest/gtest.h>

#include "tests/game/stand_in/library_stand_in.h"
#include "zn_sound_resource.h"

namespace {

class SoundResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        sounds_.resize(3);
        for (int i = 0; i < 3; ++i) sounds_.at(i).handle = 10 + i;
    }
    LibraryStandIn lib_;
    ZnSoundResource sounds_;
};

TEST_F(SoundResourceTest, FlushSetsEveryVolumeThenCarriesOutEachRequestInSlotOrder) {
    sounds_.setRequest(0, SOUND_PLAY_BACKGROUND);
    sounds_.setVolume(0, 255);
    sounds_.setVolume(1, 64);
    sounds_.setRequest(2, SOUND_PLAY_LOOP);
    sounds_.setVolume(2, 128);
    sounds_.update();
    const std::vector<StandInCall> expected = {
        {"volume", 255, 10, 0, ""}, {"play", 10, 1, 1, ""},  {"volume", 64, 11, 0, ""},
        {"volume", 128, 12, 0, ""}, {"play", 12, 3, 1, ""},
    };
    EXPECT_EQ(lib_.calls(), expected);

    // Requests live for one step; volumes are applied again on every flush.
    lib_.clearCalls();
    sounds_.update();
    const std::vector<StandInCall> again = {
        {"volume", 255, 10, 0, ""}, {"volume", 64, 11, 0, ""}, {"volume", 128, 12, 0, ""}};
    EXPECT_EQ(lib_.calls(), again);
}

TEST_F(SoundResourceTest, EachRequestMapsToItsCall) {
    struct Case {
        int request;
        StandInCall call;
    };
    const Case cases[] = {
        {SOUND_STOP, {"stop", 10, 0, 0, ""}},
        {SOUND_PLAY_WAIT, {"play", 10, 0, 1, ""}},
        {SOUND_PLAY_BACKGROUND, {"play", 10, 1, 1, ""}},
        {SOUND_PLAY_LOOP, {"play", 10, 3, 1, ""}},
    };
    for (const Case& c : cases) {
        lib_.clearCalls();
        sounds_.setRequest(0, c.request);
        sounds_.update();
        ASSERT_EQ(lib_.calls().size(), 4u) << c.request;
        EXPECT_EQ(lib_.calls()[1], c.call) << c.request;
        EXPECT_EQ(sounds_.at(0).request, SOUND_NONE);
    }
}

TEST_F(SoundResourceTest, LastRequestOfAStepWinsAndPlaysOnce) {
    sounds_.setRequest(1, SOUND_STOP);
    sounds_.setVolume(1, 10);
    sounds_.setRequest(1, SOUND_PLAY_BACKGROUND);
    sounds_.setVolume(1, 200);
    sounds_.update();
    EXPECT_EQ(lib_.plays(), (std::vector<std::pair<int, int>>{{11, 1}}));
    for (const StandInCall& c : lib_.calls()) {
        EXPECT_NE(c.op, "stop");
        if (c.op == "volume" && c.b == 11) {
            EXPECT_EQ(c.a, 200);
        }
    }
}

TEST_F(SoundResourceTest, NeverRequestedSoundGetsVolumeZero) {
    ZnSoundResource fresh;
    fresh.resize(1);
    fresh.update();
    EXPECT_EQ(lib_.calls(), (std::vector<StandInCall>{{"volume", 0, 0, 0, ""}}));
}

TEST_F(SoundResourceTest, LoadUsesThreeBuffersAndReportsFailure) {
    lib_.failFile("res\\missing.wav");
    EXPECT_TRUE(sounds_.loadAt(0, "res\\shoot.wav"));
    EXPECT_NE(sounds_.at(0).handle, -1);
    EXPECT_FALSE(sounds_.loadAt(1, "res\\missing.wav"));
    EXPECT_EQ(sounds_.at(1).handle, -1);
    ASSERT_EQ(lib_.calls().size(), 2u);
    EXPECT_EQ(lib_.calls()[0], (StandInCall{"loadSound", 3, -1, 0, "res\\shoot.wav"}));
}

}  // namespace
