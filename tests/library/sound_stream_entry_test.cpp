// Streaming sound and music in the assembled library: a long sound streams through its ring
// while the game pumps messages (the pump refills it) and is heard exactly as its file holds
// it; shut-down stops the current music, finishes a capture and leaves nothing behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "base/tracked_memory.h"
#include "platform/core/clock.h"
#include "platform/core/file.h"
#include "platform/testing/sound_test_controls.h"
#include "sound/capture/sound_capture.h"
#include "sound/music/music_handles.h"
#include "sound/sound_system.h"
#include "sound/stream/sound_stream.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/support/sound_entry_fixture.h"

namespace {

constexpr uint32_t kRate = 44100;

class SoundStreamEntryTest : public SoundEntryFixture {
protected:
    void TearDown() override {
        SoundEntryFixture::TearDown();
        EXPECT_EQ(GetSoundOutput().device, nullptr);
        GetMusicState() = MusicState{0, 0, 0, {}, 0, -1, 0};
    }

    // Stereo 16-bit frames at the mixer's rate: frame i is (i & 0x7FFF, i >> 15), i from 1.
    std::vector<int16_t> Samples(uint32_t frames) {
        std::vector<int16_t> samples;
        for (uint32_t i = 1; i <= frames; ++i) {
            samples.push_back(static_cast<int16_t>(i & 0x7FFF));
            samples.push_back(static_cast<int16_t>(i >> 15));
        }
        return samples;
    }
    std::string WriteWave(const char* name, const std::vector<int16_t>& samples) {
        soundfix::WaveFormat format;
        format.channels = 2;
        format.rate = kRate;
        return WriteSoundFile(name, soundfix::SimpleWave(format, soundfix::Pcm16Bytes(samples)));
    }
};

TEST_F(SoundStreamEntryTest, ALongSoundStreamsWhileTheGamePumpsAndIsHeardAsItsFileHoldsIt) {
    const uint32_t blocksBefore = GetAllocState().count;
    // Ten seconds: more than the six-second ring holds.
    const std::vector<int16_t> source = Samples(10 * kRate);
    const std::string path = WriteWave("long.wav", source);
    StartWithoutPumpThread();
    ASSERT_NE(GetSoundOutput().device, nullptr);
    GetSoundOutput().createType = kStreamDataCallerStream;  // loads stream from the file
    const int handle = ApiLoadSoundFromFile(path.c_str(), 3, -1);
    ASSERT_NE(handle, -1);
    ASSERT_EQ(GetSoundRecord(handle)->stream, 1);
    ASSERT_EQ(ApiSetSoundHandleVolume(255, handle), 0);
    ASSERT_EQ(ApiPlaySoundHandle(handle, 1, 1), 0);

    // A game step of output, then a step's pump, until a second past the end.
    std::vector<int16_t> heard;
    for (int step = 0; step < 110; ++step) {
        ASSERT_TRUE(plat::RenderSoundOutput(kRate / 10, &heard));
        ASSERT_EQ(ApiProcessMessage(), 0);
    }
    ASSERT_GE(heard.size(), source.size());
    EXPECT_TRUE(std::equal(source.begin(), source.end(), heard.begin()));
    for (size_t i = source.size(); i < heard.size(); ++i) ASSERT_EQ(heard[i], 0) << i;
    EXPECT_EQ(IsSoundHandlePlaying(handle), 0);

    GetSoundOutput().createType = 0;
    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(GetSoundHandleTable().count, 0);
    EXPECT_EQ(plat::LiveSoundBuffers(), 0);
    EXPECT_EQ(GetAllocState().count, blocksBefore);
}

// A stream held still for five seconds of clock time: the output takes nothing, and the pump
// is either held too (a suspended program, a debugger) or goes on (an output device that
// stopped taking data). The play cursor has not moved, so nothing was heard and nothing may be
// skipped: once the output runs again the sound goes on where it stood, to its end.
struct HeldCase {
    const char* what;
    uint32_t sourceFrames;
    int holdAtStep;  // after this many steps of a tenth of a second
    int pumpsWhileHeld;  // pump calls during the hold, a tenth of a second apart
};

TEST_F(SoundStreamEntryTest, AStreamHeldStillGoesOnWhereItStoodWithNothingSkipped) {
    const HeldCase cases[] = {
        {"10 s sound held at 2 s, no pump", 10 * kRate, 20, 0},
        {"10 s sound held at 2 s, pumping on", 10 * kRate, 20, 50},
        {"2 s sound held in its ending phase at 0.6 s, no pump", 2 * kRate, 6, 0},
        {"2 s sound held in its ending phase at 0.6 s, pumping on", 2 * kRate, 6, 50},
    };
    const uint32_t blocksBefore = GetAllocState().count;
    StartWithoutPumpThread();
    GetSoundOutput().createType = kStreamDataCallerStream;
    for (const HeldCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<int16_t> source = Samples(c.sourceFrames);
        const int handle = ApiLoadSoundFromFile(WriteWave("held.wav", source).c_str(), 3, -1);
        ASSERT_NE(handle, -1);
        ASSERT_EQ(GetSoundRecord(handle)->stream, 1);
        ASSERT_EQ(ApiSetSoundHandleVolume(255, handle), 0);
        ASSERT_EQ(ApiPlaySoundHandle(handle, 1, 1), 0);

        std::vector<int16_t> heard;
        const int steps = static_cast<int>(c.sourceFrames / (kRate / 10)) + 10;
        for (int step = 0; step < steps; ++step) {
            if (step == c.holdAtStep) {
                if (c.pumpsWhileHeld == 0) plat::SleepMs(5000);
                for (int i = 0; i < c.pumpsWhileHeld; ++i) {
                    plat::SleepMs(100);
                    ASSERT_EQ(ApiProcessMessage(), 0);
                }
                // Still playing: holding is not an end.
                ASSERT_EQ(IsSoundHandlePlaying(handle), 1);
            }
            ASSERT_TRUE(plat::RenderSoundOutput(kRate / 10, &heard));
            ASSERT_EQ(ApiProcessMessage(), 0);
        }
        ASSERT_GE(heard.size(), source.size());
        const size_t same = static_cast<size_t>(
            std::mismatch(source.begin(), source.end(), heard.begin()).first - source.begin());
        EXPECT_EQ(same, source.size()) << "the output leaves its source there";
        for (size_t i = source.size(); i < heard.size(); ++i) ASSERT_EQ(heard[i], 0) << i;
        EXPECT_EQ(IsSoundHandlePlaying(handle), 0);
        ASSERT_EQ(DeleteSoundHandle(handle), 0);
    }
    GetSoundOutput().createType = 0;
    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(plat::LiveSoundBuffers(), 0);
    EXPECT_EQ(GetAllocState().count, blocksBefore);
}

TEST_F(SoundStreamEntryTest, ShutDownStopsTheCurrentMusicAndFinishesTheCapture) {
    const std::string path = WriteWave("music.wav", Samples(kRate));
    StartWithoutPumpThread();
    const int music = ApiLoadSoundFromFile(path.c_str(), 3, -1);
    ASSERT_NE(music, -1);
    ASSERT_EQ(ApiPlaySoundHandle(music, 3, 1), 0);
    GetMusicState().current = music;
    GetMusicState().currentIsSound = 1;
    const HandleValue midi = AddMusicData();
    ASSERT_NE(midi, -1);
    const std::string capturePath = (dir_.path() / "capture.wav").string();
    plat::File* file = plat::OpenFile(capturePath.c_str(), plat::FileAccess::ReadWrite,
                                      plat::FileCreation::CreateAlways);
    ASSERT_NE(file, nullptr);
    GetSoundCaptureState() = SoundCaptureState{1, 0, file};

    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(GetMusicState().current, -1);
    EXPECT_EQ(GetSoundHandleTable().count, 0);
    EXPECT_EQ(GetMidiHandleTable().count, 0);
    EXPECT_EQ(GetSoundCaptureState().on, 0);
    std::ifstream in(capturePath, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    unsigned char header[kSoundCaptureHeaderBytes];
    BuildSoundCaptureHeader(0, header);
    ASSERT_EQ(bytes.size(), kSoundCaptureHeaderBytes);
    EXPECT_TRUE(std::equal(header, header + kSoundCaptureHeaderBytes, bytes.begin()));
    EXPECT_TRUE(LogHas("DirectSound の終了処理は正常に終了しました"));
}

TEST_F(SoundStreamEntryTest, ShutDownWithNoCurrentMusic) {
    StartWithoutPumpThread();
    ASSERT_EQ(GetMusicState().current, -1);
    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(GetMusicState().current, -1);
    EXPECT_TRUE(LogHas("DirectSound の終了処理は正常に終了しました"));
    EXPECT_EQ(plat::LiveSoundDevices(), 0);
}

}  // namespace
