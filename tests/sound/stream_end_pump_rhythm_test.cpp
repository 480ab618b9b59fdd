// The end of a streamed sound under the message pump's rhythm: however unevenly the pump
// refills the ring (a frame-rate pump, one that stalls for up to 1.6 s now and then, one that
// comes back only every few seconds), the output is the source frame for frame, then only
// silence, and the sound stops. Nothing of the ring's older contents may be heard after the
// data's end, for every data type of a source.
#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/sound/stream_test_support.h"

using namespace streamtest;

namespace {

// The frames mixed between two refills, taken in turn for as long as the test runs.
struct PumpRhythm {
    const char* name;
    std::vector<uint32_t> pieces;
};

void PrintTo(const PumpRhythm& rhythm, std::ostream* os) { *os << rhythm.name; }

constexpr uint32_t Ms(uint32_t milliseconds) { return kRate * milliseconds / 1000; }

const PumpRhythm kRhythms[] = {
    {"FrameRate", {Ms(16)}},
    {"Tenths", {Ms(100)}},
    // Stalls of up to 1.6 s among short steps.
    {"Irregular", {Ms(20), Ms(1600), Ms(300), Ms(1100), Ms(50), Ms(1600), Ms(700), Ms(10),
                   Ms(1400), Ms(900), Ms(1600), Ms(1600)}},
    // Gaps just short of the three seconds the refill keeps ahead of the cursor.
    {"LongGaps", {Ms(2900), Ms(10), Ms(2500), Ms(2900), Ms(100), Ms(2700)}},
    // A frame-rate pump (which takes the ring to its fullest) stalling three times in a row.
    {"FrameRateThenStalls",
     {Ms(16), Ms(16), Ms(16), Ms(16), Ms(16), Ms(16), Ms(16), Ms(16), Ms(16), Ms(16), Ms(16),
      Ms(16), Ms(16), Ms(16), Ms(16), Ms(16), Ms(16), Ms(16), Ms(16), Ms(16), Ms(16), Ms(16),
      Ms(16), Ms(16), Ms(1600), Ms(1600), Ms(1600)}},
};

// Source lengths in frames: one that ends within the first fill, and longer ones that put the
// data's end at different points of each rhythm, some of them after the ring has wrapped more
// than once.
const uint32_t kLengths[] = {Ms(2300), Ms(6000), Ms(8300), Ms(9500), Ms(11250)};

class StreamEndPumpRhythmTest
    : public StreamFixture,
      public ::testing::WithParamInterface<std::tuple<PumpRhythm, int>> {
protected:
    // A stream handle with one source of `frames` numbered frames, of the data type under test.
    HandleValue NewSource(uint32_t frames, int dataType) {
        const soundfix::Bytes wave = NumberedWave(1, frames);
        const HandleValue handle = AddSoundData(-1);
        if (handle == -1) return -1;
        int added = -1;
        if (dataType == kStreamDataCallerStream) {
            // Decoded straight from the caller's stream: a file the record reads as it plays.
            const std::string path = (dir_.path() / "source.wav").string();
            {
                std::ofstream out(path, std::ios::binary);
                out.write(reinterpret_cast<const char*>(wave.data()),
                          static_cast<std::streamsize>(wave.size()));
            }
            added = AppendStreamSourceFile(path.c_str(), 0, handle, dataType, -1);
        } else {
            added = AppendStreamSourceImage(wave.data(), static_cast<uint32_t>(wave.size()), 0,
                                            handle, dataType, -1);
        }
        if (added != 0) {
            DeleteSoundHandle(handle);
            return -1;
        }
        return handle;
    }

    // Mixes `frames` frames, refilling the rings after each piece of the rhythm.
    static std::vector<uint32_t> PumpInRhythm(const PumpRhythm& rhythm, uint32_t frames) {
        std::vector<int16_t> mix;
        size_t turn = 0;
        for (uint32_t done = 0; done < frames;) {
            uint32_t n = rhythm.pieces[turn++ % rhythm.pieces.size()];
            if (n > frames - done) n = frames - done;
            EXPECT_TRUE(plat::RenderSoundOutput(n, &mix));
            RefillAllStreamSounds();
            done += n;
        }
        return FrameNumbers(mix);
    }
};

TEST_P(StreamEndPumpRhythmTest, TheSourceIsHeardWholeThenOnlySilence) {
    const PumpRhythm& rhythm = std::get<0>(GetParam());
    const int dataType = std::get<1>(GetParam());
    for (uint32_t frames : kLengths) {
        SCOPED_TRACE(frames);
        const HandleValue handle = NewSource(frames, dataType);
        ASSERT_NE(handle, -1);
        ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 1), 0);
        // Long enough after the end for the longest gap of every rhythm to pass twice.
        const std::vector<uint32_t> out = PumpInRhythm(rhythm, frames + 8 * kRate);
        ASSERT_EQ(out.size(), frames + 8 * kRate);
        ASSERT_NO_FATAL_FAILURE(ExpectWholeThenSilence(out, frames));
        EXPECT_EQ(IsSoundHandlePlaying(handle), 0);
        EXPECT_EQ(GetSoundRecord(handle)->streaming.endReached, 1);
        ASSERT_EQ(DeleteSoundHandle(handle), 0);
    }
    EXPECT_EQ(GetAllocState().count, blocks_);
}

std::string CaseName(
    const ::testing::TestParamInfo<StreamEndPumpRhythmTest::ParamType>& info) {
    return std::string(std::get<0>(info.param).name) + "DataType" +
           std::to_string(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(
    RhythmsAndDataTypes, StreamEndPumpRhythmTest,
    ::testing::Combine(::testing::ValuesIn(kRhythms),
                       ::testing::Values(kStreamDataPcm, kStreamDataImage,
                                         kStreamDataCallerStream)),
    CaseName);

}  // namespace
