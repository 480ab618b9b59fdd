// Streaming sounds heard through the mixer: sources in order, loop counts and loop starts, the
// end in silence, the refill's sizes and limits and the resynchronisation after a stall.
#include <gtest/gtest.h>

#include <iterator>

#include "sound/stream/stream_ring.h"
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
    // The first call writes its least, an eighth of a second (22050 bytes, 22048 in whole
    // frames); that leaves the cursor behind the written window, and no later call writes.
    ASSERT_EQ(RefillAllStreamSounds(), 0);
    EXPECT_EQ(GetSoundRecord(handle)->streaming.writePosition, written + 22048);
    // Far more calls than the ring would take at an eighth of a second each.
    for (int i = 0; i < 200; ++i) ASSERT_EQ(RefillStreamSound(handle), -1);
    EXPECT_EQ(GetSoundRecord(handle)->streaming.writePosition, written + 22048);
    EXPECT_EQ(GetSoundRecord(handle)->streaming.resync, 0);
    ExpectRun(Pump(frames), 0, 1, frames);
    DeleteSoundHandle(handle);
}

// Each step mixes some frames without a refill, then refills once. The refill writes
// (384 - ahead) / 128 of a second when less than 3 s (384 128ths) are ahead of the cursor,
// the ahead time counted in whole 128ths (rounded down), and at least an eighth of a second;
// the fill is cut to whole frames (4 bytes). A second is 176400 bytes, the ring 1058400.
struct RefillStep {
    uint32_t frames;       // mixed before the refill
    int result;
    int64_t writePosition;  // after the refill
};

TEST_F(StreamPlaybackTest, RefillSizesFollowTheTimeAheadOfTheCursor) {
    const uint32_t frames = 20 * kRate;
    const HandleValue handle = NewStream(NumberedWave(1, frames), 0);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 1), 0);
    const SoundStreamState& state = GetSoundRecord(handle)->streaming;
    // Primed with four seconds from the start of the ring.
    ASSERT_EQ(state.writePosition, 705600);
    const RefillStep steps[] = {
        // cursor 0: 705600 ahead is 512/128 s: the least, 22048.
        {0, 0, 727648},
        // The cursor stands behind the window's start (727648 - 4 s): nothing.
        {0, -1, 727648},
        // cursor 44100: 683548 ahead, 495.99 -> 495: the least.
        {11025, 0, 749696},
        // cursor 396900: 352796 ahead, 255.99 -> 255: 129 × 176400 / 128 = 177778.1 -> 177776.
        {88200, 0, 927472},
        // cursor 516900: 410572 ahead, 297.93 -> 297: 87 × 1378.125 = 119896.9 -> 119896.
        {30000, 0, 1047368},
        // cursor 556900: 490468 ahead -> 355: 29 × 1378.125 = 39965.6 -> 39964; the write
        // position wraps round the ring.
        {10000, 0, 28932},
        // cursor 560900, the window wrapped: 526432 ahead -> 381: 4134 is less than an
        // eighth of a second, so 22048.
        {1000, 0, 50980},
        // 548480 ahead -> 397: more than 3 s ahead still writes the least.
        {0, 0, 73028},
        // Five seconds more with no refill: the cursor (384500) ran past the data written.
        {220500, -1, 73028},
        // Resynchronised a sixteenth of a second and a frame (11028) ahead of the cursor:
        // 11028 ahead -> 8: 376 × 1378.125 = 518175 -> 518172.
        {0, 0, 384500 + 11028 + 518172},
        // 529200 ahead is exactly 384: the least.
        {0, 0, 913700 + 22048},
    };
    std::vector<uint32_t> heard;
    for (size_t i = 0; i < std::size(steps); ++i) {
        const RefillStep& step = steps[i];
        const std::vector<uint32_t> out = Render(step.frames);
        heard.insert(heard.end(), out.begin(), out.end());
        EXPECT_EQ(RefillStreamSound(handle), step.result) << "step " << i;
        EXPECT_EQ(state.writePosition, step.writePosition) << "step " << i;
    }
    // Up to the stall the output is the source as it stands.
    ExpectRun(heard, 0, 1, 140225);
    // Then, within an eighth of a second, the source goes on after the last frame written
    // before the stall: 705600 bytes primed and 425828 written by the refills of steps 1-8.
    const uint32_t next = (705600 + 425828) / 4 + 1;
    const std::vector<uint32_t> out = Pump(kRate);
    size_t at = 0;
    while (at < out.size() && out[at] != next) ++at;
    ASSERT_LT(at, kRate / 8);
    ExpectRun(out, at, next, static_cast<uint32_t>(out.size() - at));
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

TEST_F(StreamPlaybackTest, OnlyTheCursorTellsAStallAndClockTimeAloneSkipsNothing) {
    plat::UseVirtualClock(true);
    const uint32_t frames = 20 * kRate;
    const HandleValue handle = NewStream(NumberedWave(1, frames), 0);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 1), 0);
    ExpectRun(Pump(kRate / 2), 0, 1, kRate / 2);
    // Seven seconds of clock time with neither output nor refill: the cursor stands where it
    // was and the refill goes on as if no time had passed.
    plat::SleepMs(7000);
    const int64_t written = GetSoundRecord(handle)->streaming.writePosition;
    const int refilled = RefillStreamSound(handle);
    EXPECT_TRUE(refilled == 0 || refilled == -1) << refilled;
    EXPECT_EQ(GetSoundRecord(handle)->streaming.resync, 0);
    EXPECT_GE(GetSoundRecord(handle)->streaming.writePosition, written);
    ExpectRun(Pump(5 * kRate), 0, kRate / 2 + 1, 5 * kRate);
    // The output ran seven seconds with no refill, round the ring and back into the part
    // written last: the cursor cannot tell that from one second, so the refill goes on from
    // where it wrote and the ring's older data is heard again before the source goes on.
    SoundRecord* record = GetSoundRecord(handle);
    const SoundStreamState& state = record->streaming;
    const int64_t before = state.writePosition;
    const uint32_t next = static_cast<uint32_t>(state.bytePosition / 4) + 1;
    Render(7 * kRate);
    uint32_t cursor = 0;
    ASSERT_EQ(GetBufferWrapperPosition(&record->buffers[0], &cursor), 0);
    const uint32_t stale = static_cast<uint32_t>(CyclicBytes(before - cursor, state.ringBytes) / 4);
    ASSERT_GT(stale, 0u);
    EXPECT_EQ(RefillStreamSound(handle), 0);
    EXPECT_EQ(state.resync, 0);
    // What is heard: the frames last written before the stall, then the source from the
    // frame after them, nothing of it skipped.
    const std::vector<uint32_t> out = Pump(2 * kRate);
    ExpectRun(out, 0, next - stale, static_cast<uint32_t>(out.size()));
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
