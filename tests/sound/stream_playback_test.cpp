// Streaming sounds heard through the mixer: sources in order, loop counts and loop starts, the
// end in silence, the refill's limits and the resynchronisation after a stall.
#include <gtest/gtest.h>

#include "tests/sound/stream_test_support.h"

using namespace streamtest;

namespace {

class StreamPlaybackTest : public StreamFixture {};

// Frames base .. base + count - 1 expected at out[at ..].
void ExpectRun(const std::vector<uint32_t>& out, size_t at, uint32_t base, uint32_t count) {
    ASSERT_GE(out.size(), at + count);
    for (uint32_t i = 0; i < count; ++i) {
        ASSERT_EQ(out[at + i], base + i) << "frame " << at + i;
    }
}

TEST_F(StreamPlaybackTest, ThreeSourcesLongerThanTheRingPlayInOrderAndEndInSilence) {
    // Nine seconds in all, through a six-second ring.
    const uint32_t frames = 3 * kRate;
    const HandleValue handle = NewStream(NumberedWave(1, frames), 0);
    ASSERT_NE(handle, -1);
    ASSERT_EQ(AddSource(handle, NumberedWave(1000001, frames), 0), 0);
    ASSERT_EQ(AddSource(handle, NumberedWave(2000001, frames), 0), 0);
    EXPECT_EQ(GetSoundRecord(handle)->streaming.totalSamples, 3 * frames);
    // A fourth source does not fit.
    EXPECT_EQ(AddSource(handle, NumberedWave(3000001, 100), 0), -1);
    EXPECT_NE(NewLogText().find("ストリーム風サウンドの制御データ領域がいっぱいです"),
              std::string::npos);

    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 1), 0);
    EXPECT_EQ(IsSoundHandlePlaying(handle), 1);
    const std::vector<uint32_t> out = Pump(10 * kRate);
    ExpectRun(out, 0, 1, frames);
    ExpectRun(out, frames, 1000001, frames);
    ExpectRun(out, 2 * frames, 2000001, frames);
    // Then silence, and the sound has stopped once the cursor passed the data's end.
    for (size_t i = 3 * frames; i < out.size(); ++i) ASSERT_EQ(out[i], 0u) << i;
    EXPECT_EQ(IsSoundHandlePlaying(handle), 0);
    EXPECT_EQ(GetSoundRecord(handle)->streaming.endReached, 1);
    EXPECT_EQ(DeleteSoundHandle(handle), 0);
    EXPECT_EQ(GetAllocState().count, blocks_);
}

TEST_F(StreamPlaybackTest, LoopCountOnePlaysTwiceTheSecondTimeFromTheLoopStart) {
    const HandleValue handle = NewStream(NumberedWave(1, 1000), 1);
    ASSERT_NE(handle, -1);
    ASSERT_EQ(AddSource(handle, NumberedWave(5001, 300), 0), 0);
    ASSERT_EQ(SetStreamSourceLoopStart(handle, 0, 400), 0);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 1), 0);
    const std::vector<uint32_t> out = Pump(kRate / 2);
    ExpectRun(out, 0, 1, 1000);
    ExpectRun(out, 1000, 401, 600);
    ExpectRun(out, 1600, 5001, 300);
    EXPECT_EQ(out[1900], 0u);
    EXPECT_EQ(IsSoundHandlePlaying(handle), 0);
    DeleteSoundHandle(handle);
}

TEST_F(StreamPlaybackTest, LoopCountEndlessNeverAdvancesToTheNextSource) {
    const HandleValue handle = NewStream(NumberedWave(1, 1000), kStreamLoopEndless);
    ASSERT_NE(handle, -1);
    ASSERT_EQ(AddSource(handle, NumberedWave(5001, 300), 0), 0);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 1), 0);
    const std::vector<uint32_t> out = Pump(8 * kRate);
    for (size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], 1 + i % 1000) << i;
    EXPECT_EQ(IsSoundHandlePlaying(handle), 1);
    EXPECT_EQ(GetSoundRecord(handle)->streaming.currentSource, 0);
    DeleteSoundHandle(handle);
}

TEST_F(StreamPlaybackTest, LoopPlayGoesBackToTheFirstSource) {
    const HandleValue handle = NewStream(NumberedWave(1, 700), 0);
    ASSERT_EQ(AddSource(handle, NumberedWave(5001, 500), 0), 0);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayLoop, 1), 0);
    const std::vector<uint32_t> out = Pump(2 * kRate);
    for (size_t i = 0; i < out.size(); ++i) {
        const size_t k = i % 1200;
        ASSERT_EQ(out[i], k < 700 ? 1 + k : 5001 + (k - 700)) << i;
    }
    EXPECT_EQ(IsSoundHandlePlaying(handle), 1);
    EXPECT_EQ(StopSoundHandle(handle), 0);
    EXPECT_EQ(IsSoundHandlePlaying(handle), 0);
    DeleteSoundHandle(handle);
}

TEST_F(StreamPlaybackTest, RefillsWithoutTheCursorMovingNeverOverwriteWhatIsAhead) {
    const uint32_t frames = 8 * kRate;
    const HandleValue handle = NewStream(NumberedWave(1, frames), 0);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 1), 0);
    const int64_t written = GetSoundRecord(handle)->streaming.writePosition;
    // Far more calls than the ring would take at an eighth of a second each.
    for (int i = 0; i < 200; ++i) ASSERT_EQ(RefillAllStreamSounds(), 0);
    EXPECT_EQ(GetSoundRecord(handle)->streaming.writePosition, written);
    ExpectRun(Pump(frames), 0, 1, frames);
    DeleteSoundHandle(handle);
}

TEST_F(StreamPlaybackTest, CursorPastTheWrittenDataReportsAStallAndWritesNothing) {
    const uint32_t frames = 20 * kRate;
    const HandleValue handle = NewStream(NumberedWave(1, frames), 0);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 1), 0);
    // Five seconds without a refill: the four seconds written have all been heard.
    Render(5 * kRate);
    const std::vector<unsigned char> before = RingBytes(handle);
    EXPECT_EQ(RefillStreamSound(handle), -1);
    EXPECT_EQ(RingBytes(handle), before);
    // The next refill starts again just ahead of the cursor with the data that comes next.
    EXPECT_EQ(RefillStreamSound(handle), 0);
    const std::vector<uint32_t> out = Pump(kRate);
    const uint32_t next = 4 * kRate + 1;
    size_t at = 0;
    while (at < out.size() && out[at] != next) ++at;
    ASSERT_LT(at, kRate / 8) << "the stream did not resume within an eighth of a second";
    ExpectRun(out, at, next, static_cast<uint32_t>(out.size() - at));
    DeleteSoundHandle(handle);
}

TEST_F(StreamPlaybackTest, StallLongerThanTheRingIsToldByTheClockAndResynchronises) {
    plat::UseVirtualClock(true);
    const uint32_t frames = 20 * kRate;
    const HandleValue handle = NewStream(NumberedWave(1, frames), 0);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 1), 0);
    // Seven seconds pass: the cursor has gone once round the ring and back into the part
    // written last, where only the clock tells that it is stale.
    plat::SleepMs(7000);
    Render(7 * kRate);
    const std::vector<unsigned char> before = RingBytes(handle);
    EXPECT_EQ(RefillStreamSound(handle), -1);
    EXPECT_EQ(RingBytes(handle), before);
    EXPECT_EQ(RefillStreamSound(handle), 0);
    const std::vector<uint32_t> out = Pump(kRate / 2);
    size_t at = 0;
    while (at < out.size() && out[at] != 4 * kRate + 1) ++at;
    ASSERT_LT(at, kRate / 8);
    ExpectRun(out, at, 4 * kRate + 1, static_cast<uint32_t>(out.size() - at));
    DeleteSoundHandle(handle);
}

TEST_F(StreamPlaybackTest, StopAndResumeGoOnAndATopPlayStartsAgain) {
    const uint32_t frames = 2 * kRate;
    const HandleValue handle = NewStream(NumberedWave(1, frames), 0);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 1), 0);
    ExpectRun(Pump(1000, 1000), 0, 1, 1000);
    ASSERT_EQ(StopSoundHandle(handle), 0);
    EXPECT_EQ(Render(10)[0], 0u);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 0), 0);
    ExpectRun(Pump(1000, 1000), 0, 1001, 1000);
    // Not interrupted by a play without the top flag.
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 0), 0);
    ExpectRun(Pump(1000, 1000), 0, 2001, 1000);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 1), 0);
    ExpectRun(Pump(1000, 1000), 0, 1, 1000);
    DeleteSoundHandle(handle);
}

TEST_F(StreamPlaybackTest, NormalPlayWaitsForTheEndWhilePumping) {
    // A pump that mixes a tenth of a second and refills, as the message pump would while the
    // output plays on.
    static int passes = 0;
    passes = 0;
    static const SoundPumpDriver pump = {
        .processMessage = [] {
            ++passes;
            plat::RenderSoundOutput(4410, nullptr);
            RefillAllStreamSounds();
            return passes > 1000 ? -1 : 0;
        },
    };
    SoundPumpSlot().Install(pump);
    const HandleValue handle = NewStream(NumberedWave(1, kRate), 0);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayNormal, 1), 0);
    EXPECT_EQ(IsSoundHandlePlaying(handle), 0);
    EXPECT_GE(passes, 10);
    EXPECT_LT(passes, 20);
    DeleteSoundHandle(handle);
}

}  // namespace
