// The main frame started as the program starts it, on the real library with the game's
// resource files: every image of the graph table loads with its tiles, every sound loads, and
// the title runs and draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>
#include <filesystem>
#include <memory>

#include "api.h"
#include "main_frame.h"
#include "pattern.h"
#include "platform/testing/sound_test_controls.h"
#include "platform/testing/test_controls.h"
#include "resource_tables.h"
#include "tests/support/library_fixture.h"
#include "zn_app.h"
#include "zn_sound_resource.h"

namespace {

class MainFrameOnLibraryTest : public LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        setenv("ZN_ANSWER", "no", 1);
        std::filesystem::create_directory_symlink(ZN_GAME_RESOURCES, "res");
        plat::FailNextThreadStarts(1);  // no pump thread: only this test touches the library
        frame_ = std::make_unique<MainFrame>();
    }
    void TearDown() override {
        theApp.resizeScreens(0);
        frame_.reset();
        MyScreen::setSmallFont(nullptr);
        MyScreen::setLargeFont(nullptr);
        Pattern::setWorld(nullptr);
        PlayArea = Rect();
        unsetenv("ZN_ANSWER");
        LibraryFixture::TearDown();
    }

    std::unique_ptr<MainFrame> frame_;
};

TEST_F(MainFrameOnLibraryTest, EveryResourceLoadsAndTheTitleRuns) {
    ASSERT_TRUE(theApp.init(frame_.get()));
    for (const GraphFile& file : kGraphFiles) {
        SCOPED_TRACE(file.file);
        const DhGraph& g = frame_->getGraphs().at(static_cast<uint32_t>(file.slot));
        ASSERT_EQ(g.getCount(), file.tiles == 0 ? 1 : file.tiles);
        for (int i = 0; i < g.getCount(); ++i) EXPECT_NE(g.getHandle(i), -1);
        if (file.tiles != 0) {
            EXPECT_EQ(g.getWidth(), file.width);
            EXPECT_EQ(g.getHeight(), file.height);
        } else {
            EXPECT_GT(g.getWidth(), 0);
            EXPECT_GT(g.getHeight(), 0);
        }
    }
    for (uint32_t i = 0; i < frame_->getSounds().size(); ++i) {
        EXPECT_NE(frame_->getSounds().at(i).handle, -1) << "sound " << i;
    }
    EXPECT_EQ(frame_->getCurrentScene(), &frame_->getTitleScene());

    // A few steps of the title: the backdrop scrolls and every step draws its texts.
    const double x0 = frame_->getWorld().getBackground().getX();
    const double y0 = frame_->getWorld().getBackground().getY();
    theApp.beginSteps();
    for (int i = 0; i < 5; ++i) theApp.step();
    const Background& bg = frame_->getWorld().getBackground();
    EXPECT_TRUE(bg.getX() != x0 || bg.getY() != y0);
    EXPECT_EQ(frame_->getWorld().getTexts().getUsed(), 5u);  // title, credit, three items
    EXPECT_TRUE(frame_->isRunning());
    theApp.end();
}

// The game's sound reaches the output: silence on the title, the music once play begins,
// and a shot's sound on top of it.
TEST_F(MainFrameOnLibraryTest, PlayStartsTheMusicAndEffectsAreMixedIntoTheOutput) {
    plat::UseSoundSink(plat::SoundSink::Memory);
    ASSERT_TRUE(theApp.init(frame_.get()));
    ASSERT_STREQ(plat::CurrentSoundSinkName(), "memory");
    auto loudest = [](const std::vector<int16_t>& samples) {
        int peak = 0;
        for (int16_t v : samples) peak = std::max(peak, std::abs(static_cast<int>(v)));
        return peak;
    };
    theApp.beginSteps();
    for (int i = 0; i < 3; ++i) theApp.step();
    std::vector<int16_t> title;
    ASSERT_TRUE(plat::RenderSoundOutput(4410, &title));
    EXPECT_EQ(loudest(title), 0);

    // Requests made during a step are carried out by the step's flush of the sound table.
    frame_->changeToPlay();
    frame_->getSounds().update();
    std::vector<int16_t> music;
    ASSERT_TRUE(plat::RenderSoundOutput(44100, &music));  // one second of the music
    EXPECT_GT(loudest(music), 1000);

    // With the music stopped the output falls silent; the shot's sound, played the way the
    // game plays its effects, is heard alone.
    frame_->getWorld().playSound(GAME_SOUND_MUSIC, SOUND_STOP, 255);
    frame_->getSounds().update();
    std::vector<int16_t> stopped;
    ASSERT_TRUE(plat::RenderSoundOutput(2205, &stopped));
    EXPECT_EQ(loudest(stopped), 0);
    frame_->getWorld().playSound(GAME_SOUND_SHOOT, SOUND_PLAY_BACKGROUND, 255);
    frame_->getSounds().update();
    std::vector<int16_t> shot;
    ASSERT_TRUE(plat::RenderSoundOutput(2205, &shot));
    EXPECT_GT(loudest(shot), 1000);
    theApp.end();
    plat::UseSoundSink(plat::SoundSink::Automatic);
}

}  // namespace
