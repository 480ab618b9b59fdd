// Playing sound handles: into the mixer, the round-robin buffers, the top flag, lost buffers
// and the play type that waits for the end.
#include <gtest/gtest.h>

#include "tests/sound/sound_system_fixture.h"

using soundfix::Bytes;

namespace {

TEST_F(SoundSystemTest, LoadedSoundPlaysIntoTheMixer) {
    const HandleValue handle = Load(LevelWave(2205, 3000), 3);
    ASSERT_NE(handle, -1);
    ASSERT_EQ(SetSoundHandleVolume(255, handle), 0);
    ASSERT_EQ(PlaySoundHandle(handle, 1, 1), 0);
    EXPECT_EQ(IsSoundHandlePlaying(handle), 1);
    std::vector<int16_t> out;
    ASSERT_TRUE(plat::RenderSoundOutput(100, &out));
    // Mono at full volume feeds both sides.
    EXPECT_EQ(out[0], 3000);
    EXPECT_EQ(out[1], 3000);
    EXPECT_EQ(out[150], 3000);
    ASSERT_EQ(StopSoundHandle(handle), 0);
    EXPECT_EQ(IsSoundHandlePlaying(handle), 0);
    out.clear();
    ASSERT_TRUE(plat::RenderSoundOutput(10, &out));
    EXPECT_EQ(out[0], 0);
    // A non-looping sound ends by itself; a looped one goes on.
    ASSERT_EQ(PlaySoundHandle(handle, 1, 1), 0);
    ASSERT_TRUE(plat::RenderSoundOutput(44100 / 10 + 100, nullptr));
    EXPECT_EQ(IsSoundHandlePlaying(handle), 0);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayLoop, 1), 0);
    ASSERT_TRUE(plat::RenderSoundOutput(44100, nullptr));
    EXPECT_EQ(IsSoundHandlePlaying(handle), 1);
    // Pan and frequency reach every buffer.
    EXPECT_EQ(SetSoundHandlePan(-20000, handle), 0);
    EXPECT_EQ(SetSoundHandleFrequency(11025, handle), 0);
    SoundRecord* record = GetSoundRecord(handle);
    int32_t pan = 0;
    uint32_t frequency = 0;
    record->buffers[2].buffer->GetPan(&pan);
    record->buffers[2].buffer->GetFrequency(&frequency);
    EXPECT_EQ(pan, -10000);
    EXPECT_EQ(frequency, 11025u);
    EXPECT_EQ(StopAllSounds(), 0);
    EXPECT_EQ(IsSoundHandlePlaying(handle), 0);
}

TEST_F(SoundSystemTest, LostBuffersAreRestoredWithTheirSoundOnTheNextPlay) {
    const HandleValue handle = Load(LevelWave(2205, 1234), 2);
    ASSERT_NE(handle, -1);
    ASSERT_EQ(SetSoundHandleVolume(255, handle), 0);
    plat::LoseSoundBuffers();
    uint32_t status = 0;
    ASSERT_EQ(QueryBufferWrapperStatus(&GetSoundRecord(handle)->buffers[1], &status), 0);
    ASSERT_NE(status & plat::DSBSTATUS_BUFFERLOST, 0u);
    for (int play = 0; play < 2; ++play) {
        ASSERT_EQ(PlaySoundHandle(handle, 1, 1), 0) << play;
        std::vector<int16_t> out;
        ASSERT_TRUE(plat::RenderSoundOutput(8, &out));
        EXPECT_EQ(out[0], 1234) << play;
        ASSERT_EQ(StopSoundHandle(handle), 0);
    }
}

TEST_F(SoundSystemTest, RoundRobinUsesBuffersOneTwoZeroOne) {
    const HandleValue handle = Load(LevelWave(22050, 100), 3);
    ASSERT_NE(handle, -1);
    SoundRecord* record = GetSoundRecord(handle);
    EXPECT_EQ(record->current, 0);
    const int order[] = {1, 2, 0, 1};
    for (int play = 0; play < 4; ++play) {
        ASSERT_EQ(PlaySoundHandle(handle, 1, 1), 0);
        EXPECT_EQ(record->current, order[play]) << play;
        EXPECT_TRUE(BufferPlaying(record, order[play]));
        if (play == 3) {
            // The fourth play restarted buffer 1 from the start; 2 and 0 went on.
            EXPECT_EQ(BufferPosition(record, 1), 0u);
            EXPECT_GT(BufferPosition(record, 2), 0u);
            EXPECT_GT(BufferPosition(record, 0), 0u);
        }
        ASSERT_TRUE(plat::RenderSoundOutput(441, nullptr));
    }
    EXPECT_TRUE(BufferPlaying(record, 0));
    EXPECT_TRUE(BufferPlaying(record, 1));
    EXPECT_TRUE(BufferPlaying(record, 2));
}

TEST_F(SoundSystemTest, PlayWithoutTopFlagLeavesABusyBufferAlone) {
    const HandleValue handle = Load(LevelWave(22050, 100), 2);
    ASSERT_NE(handle, -1);
    SoundRecord* record = GetSoundRecord(handle);
    ASSERT_EQ(PlaySoundHandle(handle, 1, 1), 0);  // buffer 1
    ASSERT_EQ(PlaySoundHandle(handle, 1, 1), 0);  // buffer 0
    ASSERT_TRUE(plat::RenderSoundOutput(441, nullptr));
    const uint32_t position1 = BufferPosition(record, 1);
    ASSERT_GT(position1, 0u);
    // Next is buffer 1, still playing: nothing is restarted, the cursor still moves.
    EXPECT_EQ(PlaySoundHandle(handle, 1, 0), 0);
    EXPECT_EQ(record->current, 1);
    EXPECT_EQ(BufferPosition(record, 1), position1);
    EXPECT_TRUE(BufferPlaying(record, 1));
    // A stopped buffer started without the top flag goes on where the last copy is.
    ASSERT_EQ(StopSoundHandle(handle), 0);
    ASSERT_EQ(PlaySoundHandle(handle, 1, 0), 0);
    EXPECT_EQ(record->current, 0);
    EXPECT_EQ(BufferPosition(record, 0), position1);
}

TEST_F(SoundSystemTest, PlayTypeZeroPumpsUntilQuit) {
    static int pumps;
    pumps = 0;
    static const SoundPumpDriver quitAfterThree = {
        .processMessage = [] { return ++pumps >= 3 ? -1 : 0; },
    };
    SoundPumpSlot().Install(quitAfterThree);
    const HandleValue handle = Load(LevelWave(22050, 100), 1);
    ASSERT_NE(handle, -1);
    // Nothing moves on the memory sink: only the pump's quit ends the wait.
    ASSERT_EQ(PlaySoundHandle(handle, 0, 1), 0);
    EXPECT_EQ(pumps, 3);
    EXPECT_EQ(IsSoundHandlePlaying(handle), 1);
}

TEST_F(SoundSystemTest, PlayTypeZeroWaitsForTheEnd) {
    static int pumps;
    pumps = 0;
    static const SoundPumpDriver counter = {
        .processMessage = [] {
            ++pumps;
            plat::RenderSoundOutput(441, nullptr);  // 10 ms of output per pass
            return 0;
        },
    };
    SoundPumpSlot().Install(counter);
    const HandleValue handle = Load(LevelWave(2205, 100), 1);  // 100 ms
    ASSERT_NE(handle, -1);
    ASSERT_EQ(PlaySoundHandle(handle, 0, 1), 0);
    EXPECT_EQ(IsSoundHandlePlaying(handle), 0);
    EXPECT_GE(pumps, 10);
    EXPECT_LE(pumps, 12);
}

}  // namespace
