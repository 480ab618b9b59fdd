// The end of a streamed sound through the assembled library: a sound loaded and played with
// the public entries, with the game pumping messages at an uneven rhythm on the virtual clock
// (the output plays on while the pump stays away for up to 1.6 s): the output is the file
// frame for frame, then only silence, and the sound stops, for each data type a load can
// stream. The output is read from the headless memory sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "base/tracked_memory.h"
#include "platform/core/clock.h"
#include "platform/testing/sound_test_controls.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"
#include "tests/sound/stream_test_support.h"
#include "tests/support/sound_entry_fixture.h"

namespace {

using streamtest::ExpectWholeThenSilence;
using streamtest::FrameNumbers;
using streamtest::kRate;
using streamtest::NumberedWave;

// The clock time between two calls of the message pump, taken in turn.
struct PumpRhythm {
    const char* name;
    std::vector<uint32_t> gapsMs;
};

void PrintTo(const PumpRhythm& rhythm, std::ostream* os) { *os << rhythm.name; }

const PumpRhythm kRhythms[] = {
    // Stalls of up to 1.6 s among short steps.
    {"Irregular", {20, 1600, 300, 1100, 50, 1600, 700, 10, 1400, 900, 1600, 1600}},
    // A frame-rate pump (the ring at its fullest) stalling three times in a row.
    {"FrameRateThenStalls", {16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16,
                             16, 16, 16, 16, 16, 16, 16, 1600, 1600, 1600}},
};

constexpr uint32_t Frames(uint32_t milliseconds) { return kRate * milliseconds / 1000; }

// Source lengths: one that ends within the first fill, and longer ones that put the data's
// end at different points of each rhythm, some after the ring has wrapped more than once.
const uint32_t kLengths[] = {Frames(2300), Frames(6000), Frames(8300), Frames(9500), Frames(11250)};

class StreamEndRhythmEntryTest
    : public SoundEntryFixture,
      public ::testing::WithParamInterface<std::tuple<PumpRhythm, int>> {
protected:

    // The output plays for each gap of the rhythm in turn, and the game pumps after it, until
    // `frames` frames are heard; the frame numbers heard.
    static std::vector<uint32_t> PlayInRhythm(const PumpRhythm& rhythm, uint32_t frames) {
        std::vector<int16_t> mix;
        size_t turn = 0;
        for (uint32_t done = 0; done < frames;) {
            const uint32_t gap = rhythm.gapsMs[turn++ % rhythm.gapsMs.size()];
            const uint32_t n = std::min(Frames(gap), frames - done);
            plat::SleepMs(gap);
            EXPECT_TRUE(plat::RenderSoundOutput(n, &mix));
            EXPECT_EQ(ApiProcessMessage(), 0);
            done += n;
        }
        return FrameNumbers(mix);
    }
};

TEST_P(StreamEndRhythmEntryTest, TheFileIsHeardWholeThenOnlySilenceAndTheSoundStops) {
    const PumpRhythm& rhythm = std::get<0>(GetParam());
    const uint32_t blocksBefore = GetAllocState().count;
    StartWithoutPumpThread();
    GetSoundOutput().createType = std::get<1>(GetParam());
    for (uint32_t frames : kLengths) {
        SCOPED_TRACE(frames);
        const int handle = ApiLoadSoundFromFile(
            WriteSoundFile("source.wav", NumberedWave(1, frames)).c_str(), 3, -1);
        ASSERT_NE(handle, -1);
        ASSERT_EQ(GetSoundRecord(handle)->stream, 1);
        ASSERT_EQ(ApiSetSoundHandleVolume(255, handle), 0);
        ASSERT_EQ(ApiPlaySoundHandle(handle, 1, 1), 0);
        // Long enough after the end for the longest gap to pass several times.
        const std::vector<uint32_t> out = PlayInRhythm(rhythm, frames + 8 * kRate);
        ASSERT_EQ(out.size(), frames + 8 * kRate);
        ASSERT_NO_FATAL_FAILURE(ExpectWholeThenSilence(out, frames));
        EXPECT_EQ(IsSoundHandlePlaying(handle), 0);
        ASSERT_EQ(DeleteSoundHandle(handle), 0);
    }
    GetSoundOutput().createType = 0;
    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(plat::LiveSoundBuffers(), 0);
    EXPECT_EQ(GetAllocState().count, blocksBefore);
}

std::string CaseName(
    const ::testing::TestParamInfo<StreamEndRhythmEntryTest::ParamType>& info) {
    return std::string(std::get<0>(info.param).name) + "DataType" +
           std::to_string(std::get<1>(info.param));
}

// Both data types a load can stream: the file's image in memory and the file read as it
// plays.
INSTANTIATE_TEST_SUITE_P(RhythmsAndDataTypes, StreamEndRhythmEntryTest,
                         ::testing::Combine(::testing::ValuesIn(kRhythms),
                                            ::testing::Values(kStreamDataImage,
                                                              kStreamDataCallerStream)),
                         CaseName);

}  // namespace
