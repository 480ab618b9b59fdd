// The sound system: output start and end, the handle table, loads, the play types and the
// round-robin buffers, volume, stop and delete.
#include <gtest/gtest.h>

#include <fstream>

#include "base/fatal_exit.h"
#include "base/file_access_table.h"
#include "base/tracked_memory.h"
#include "platform/testing/sound_test_controls.h"
#include "sound/sound_pump_driver.h"
#include "sound/sound_system.h"
#include "tests/sound/sound_fixtures.h"
#include "tests/support/log_test_fixture.h"

using soundfix::Bytes;

namespace {

// A test wave: 16-bit mono at 22050 Hz, `frames` frames of a constant level.
Bytes LevelWave(size_t frames, int16_t level, uint32_t rate = 22050) {
    soundfix::WaveFormat format;
    format.rate = rate;
    return soundfix::SimpleWave(format,
                                soundfix::Pcm16Bytes(std::vector<int16_t>(frames, level)));
}

// Text with a stray 0xFF 0xFF (a frame sync that is no header), then good MP3 frames.
Bytes NotMp3ButHoldingFrames() {
    const char text[] = "plain text, not a sound \xFF\xFF and then ";
    Bytes file(text, text + sizeof(text) - 1);
    const Bytes frames = soundfix::Mp3Frames(10);
    file.insert(file.end(), frames.begin(), frames.end());
    return file;
}

class SoundSystemTest : public LogFixture {
protected:
    void SetUp() override {
        LogFixture::SetUp();
        plat::ResetSoundTestControls();
        plat::UseSoundSink(plat::SoundSink::Memory);
        SetFileAccessTable(nullptr);
        ASSERT_EQ(StartSoundOutput(), 0);
        NewLogText();
        blocks_ = GetAllocState().count;
    }
    void TearDown() override {
        StopSoundOutput();
        EXPECT_EQ(plat::LiveSoundBuffers(), 0);
        EXPECT_EQ(plat::LiveSoundDevices(), 0);
        EXPECT_EQ(GetSoundHandleTable().count, 0);
        SoundPumpSlot().Reset();
        FatalExitSlot().Reset();
        GetSoundOutput().softwareBuffers = 0;
        plat::ResetSoundTestControls();
        LogFixture::TearDown();
    }

    HandleValue Load(const Bytes& file, int buffers) {
        return LoadSoundFromMemory(file.data(), static_cast<uint32_t>(file.size()), buffers, -1);
    }

    static bool BufferPlaying(SoundRecord* record, int index) {
        uint32_t status = 0;
        QueryBufferWrapperStatus(&record->buffers[index], &status);
        return (status & plat::DSBSTATUS_PLAYING) != 0;
    }
    static uint32_t BufferPosition(SoundRecord* record, int index) {
        uint32_t position = 0;
        GetBufferWrapperPosition(&record->buffers[index], &position);
        return position;
    }

    uint32_t blocks_ = 0;
};

TEST_F(SoundSystemTest, StartLogsTheDeviceAndRefusesASecondStart) {
    StopSoundOutput();
    NewLogText();
    ASSERT_EQ(StartSoundOutput(), 0);
    const std::string log = NewLogText();
    for (const char* line :
         {"DirectSound の初期化を行います", "DirectSound インターフェースの取得を行います....  成功",
          "引き続きインターフェースの初期化処理...  成功", "DirectSound デバイスを列挙します",
          "モジュール名:", "最大サンプリングレート:", "利用可能サンプリング精度",
          "利用可能チャンネル", "DirectSound の初期化は正常に終了しました"}) {
        EXPECT_NE(log.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(StartSoundOutput(), -1);
    ASSERT_EQ(StopSoundOutput(), 0);
    EXPECT_NE(NewLogText().find("DirectSound の終了処理は正常に終了しました"), std::string::npos);
    EXPECT_EQ(StopSoundOutput(), -1);
    // Not started: every operation answers -1.
    const Bytes wave = LevelWave(100, 1);
    EXPECT_EQ(Load(wave, 1), -1);
    EXPECT_EQ(PlaySoundHandle(0x10000000, 1, 1), -1);
    EXPECT_EQ(SetSoundHandleVolume(255, 0x10000000), -1);
    EXPECT_EQ(StopAllSounds(), -1);
    ASSERT_EQ(StartSoundOutput(), 0);
}

TEST_F(SoundSystemTest, StartFailuresLogAndLeaveNothing) {
    StopSoundOutput();
    plat::FailNextSoundDeviceCreates(1);
    EXPECT_EQ(StartSoundOutput(), -1);
    plat::FailNextSoundInitializes(1);
    EXPECT_EQ(StartSoundOutput(), -1);
    const std::string log = NewLogText();
    EXPECT_NE(log.find("DirectSoundインターフェースの作成に失敗しました"), std::string::npos);
    EXPECT_NE(log.find("初期化に失敗しました"), std::string::npos);
    EXPECT_EQ(GetSoundOutput().device, nullptr);
    EXPECT_EQ(plat::LiveSoundDevices(), 0);
    // Without the silent buffer or the device library, start-up goes on.
    plat::FailNextSoundBufferCreates(0);
    plat::FailNextSoundLibraryLoads(1);
    ASSERT_EQ(StartSoundOutput(), 0);
    EXPECT_NE(NewLogText().find("DSOUND.DLL のロードに失敗しました"), std::string::npos);
}

TEST_F(SoundSystemTest, VolumeLaw) {
    const struct {
        int volume;
        int32_t decibels;
    } cases[] = {{0, -10000}, {-1, -10000}, {-300, -10000}, {1, -2406}, {64, -600},
                 {128, -299}, {192, -123},  {255, 0},       {256, 0},   {100000, 0}};
    const HandleValue handle = Load(LevelWave(100, 1), 2);
    ASSERT_NE(handle, -1);
    SoundRecord* record = GetSoundRecord(handle);
    for (const auto& c : cases) {
        EXPECT_EQ(SoundVolumeToDecibels(c.volume), c.decibels) << c.volume;
        ASSERT_EQ(SetSoundHandleVolume(c.volume, handle), 0);
        for (int i = 0; i < record->bufferCount; ++i) {
            int32_t volume = 1;
            ASSERT_EQ(record->buffers[i].buffer->GetVolume(&volume), plat::DS_OK);
            EXPECT_EQ(volume, c.decibels) << c.volume << " buffer " << i;
        }
    }
}

TEST_F(SoundSystemTest, BufferCountsAreClampedOrRefused) {
    const Bytes wave = LevelWave(100, 1);
    {
        std::ofstream out(dir_.path() / "effect.wav", std::ios::binary);
        out.write(reinterpret_cast<const char*>(wave.data()),
                  static_cast<std::streamsize>(wave.size()));
    }
    const std::string path = (dir_.path() / "effect.wav").string();
    const HandleValue twenty = LoadSoundFromFile(path.c_str(), 20, -1);
    ASSERT_NE(twenty, -1);
    EXPECT_EQ(GetSoundRecord(twenty)->bufferCount, 10);
    const HandleValue none = LoadSoundFromFile(path.c_str(), 0, -1);
    ASSERT_NE(none, -1);
    EXPECT_EQ(GetSoundRecord(none)->bufferCount, 1);
    EXPECT_EQ(Load(wave, 11), -1);
    EXPECT_EQ(GetSoundHandleTable().count, 2);
    // A duplicate that fails leaves fewer buffers, not an error.
    plat::FailNextSoundDuplicates(1);
    const HandleValue fewer = Load(wave, 3);
    ASSERT_NE(fewer, -1);
    EXPECT_EQ(GetSoundRecord(fewer)->bufferCount, 1);
    // Every buffer holds the sound.
    EXPECT_EQ(PlaySoundHandle(twenty, 1, 1), 0);
    EXPECT_EQ(DeleteAllSoundHandles(), 0);
}

TEST_F(SoundSystemTest, FilesThatCannotBeLoadedAreLoggedAndRefused) {
    const std::string missing = (dir_.path() / "missing.wav").string();
    EXPECT_EQ(LoadSoundFromFile(missing.c_str(), 3, -1), -1);
    std::string log = NewLogText();
    EXPECT_NE(log.find("右記のファイルのオープンに失敗しました"), std::string::npos);
    EXPECT_NE(log.find("右記の音声ファイルのロードに失敗しました_1"), std::string::npos);

    const struct {
        const char* what;
        Bytes file;
    } cases[] = {
        {"not a sound", Bytes(100, 'x')},
        {"no sound though MP3 frames lie inside", NotMp3ButHoldingFrames()},
        {"rate below what a buffer plays", LevelWave(100, 1, 50)},
        {"no samples", LevelWave(0, 0)},
        {"one sample, less than a buffer holds", LevelWave(1, 0)},
    };
    for (const auto& c : cases) {
        const std::string path = (dir_.path() / "bad.wav").string();
        {
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(c.file.data()),
                      static_cast<std::streamsize>(c.file.size()));
        }
        EXPECT_EQ(LoadSoundFromFile(path.c_str(), 3, -1), -1) << c.what;
        EXPECT_NE(NewLogText().find("右記の音声ファイルのロードに失敗しました_2"),
                  std::string::npos)
            << c.what;
    }
    EXPECT_EQ(GetSoundHandleTable().count, 0);
    EXPECT_EQ(GetAllocState().count, blocks_);
}

TEST_F(SoundSystemTest, BufferThatCannotBeMadeGoesThroughTheFatalExit) {
    static int fatalCalls;
    fatalCalls = 0;
    static const FatalExitDriver recorder = {
        .exit = [](const char*) {
            ++fatalCalls;
            return -1;
        },
    };
    FatalExitSlot().Install(recorder);
    plat::FailNextSoundBufferCreates(2);
    EXPECT_EQ(Load(LevelWave(100, 1), 3), -1);
    EXPECT_EQ(fatalCalls, 1);
    // One refusal only: the second set of flags makes it.
    plat::FailNextSoundBufferCreates(1);
    EXPECT_NE(Load(LevelWave(100, 1), 3), -1);
    EXPECT_EQ(fatalCalls, 1);
    // A lock that fails drops the handle.
    plat::FailNextSoundLocks(1);
    EXPECT_EQ(Load(LevelWave(100, 1), 3), -1);
    EXPECT_NE(NewLogText().find("サウンドデータの転送に失敗しました_1"), std::string::npos);
    EXPECT_EQ(GetSoundHandleTable().count, 1);
}

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

TEST_F(SoundSystemTest, HandleTableLimitsAndStaleHandles) {
    std::vector<HandleValue> handles;
    for (int i = 0; i < kMaxSoundHandles; ++i) {
        const HandleValue h = AddSoundData(-1);
        ASSERT_NE(h, -1) << i;
        handles.push_back(h);
    }
    // Slots in order; serials one apart, wrapping after 2047.
    EXPECT_EQ(handles[5], MakeHandleValue(kHandleKindSound,
                                          (GetHandleSerial(handles[0]) + 5) & 0x7FF, 5));
    EXPECT_EQ(GetHandleSerial(handles[2048]), GetHandleSerial(handles[0]));
    EXPECT_EQ(AddSoundData(-1), -1);
    EXPECT_NE(NewLogText().find("サウンドの数が許容量を越えました"), std::string::npos);
    EXPECT_EQ(GetSoundHandleTable().areaEnd, kMaxSoundHandles);

    // Deleting the highest lowers the high-water index; the next handle takes that slot.
    ASSERT_EQ(DeleteSoundHandle(handles.back()), 0);
    EXPECT_EQ(GetSoundHandleTable().areaEnd, kMaxSoundHandles - 1);
    const HandleValue again = AddSoundData(-1);
    EXPECT_EQ(GetHandleSlot(again), kMaxSoundHandles - 1);
    EXPECT_NE(again, handles.back());
    // The stale handle of the slot is refused.
    EXPECT_EQ(GetSoundRecord(handles.back()), nullptr);
    EXPECT_EQ(DeleteSoundHandle(handles.back()), -1);
    EXPECT_EQ(SetSoundHandleVolume(100, handles.back()), -1);

    // A free slot below the high-water index is taken once the index is at the end.
    ASSERT_EQ(DeleteSoundHandle(handles[7]), 0);
    const HandleValue reused = AddSoundData(-1);
    EXPECT_EQ(GetHandleSlot(reused), 7);

    // Handles of another kind, negative values and slots past the table.
    EXPECT_EQ(GetSoundRecord(MakeHandleValue(kHandleKindGraph, 0, 0)), nullptr);
    EXPECT_EQ(GetSoundRecord(-1), nullptr);
    EXPECT_EQ(GetSoundRecord(MakeHandleValue(kHandleKindSound, 0, 5000)), nullptr);
    EXPECT_EQ(PlaySoundHandle(MakeHandleValue(kHandleKindGraph, 0, 0), 1, 1), -1);

    EXPECT_EQ(DeleteAllSoundHandles(), 0);
    EXPECT_EQ(GetSoundHandleTable().count, 0);
    EXPECT_EQ(GetSoundHandleTable().areaEnd, 0);
}

TEST_F(SoundSystemTest, SoftwareBuffersKeepOnlyThePlayState) {
    StopSoundOutput();
    GetSoundOutput().softwareBuffers = 1;
    ASSERT_EQ(StartSoundOutput(), 0);
    const HandleValue handle = Load(LevelWave(1000, 5), 2);
    ASSERT_NE(handle, -1);
    SoundRecord* record = GetSoundRecord(handle);
    EXPECT_EQ(record->buffers[0].buffer, nullptr);
    ASSERT_NE(record->buffers[0].memory, nullptr);
    EXPECT_EQ(reinterpret_cast<int16_t*>(record->buffers[0].memory)[999], 5);
    ASSERT_EQ(SetSoundHandleVolume(128, handle), 0);
    EXPECT_EQ(record->buffers[1].volume, 128);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayLoop, 1), 0);
    EXPECT_EQ(IsSoundHandlePlaying(handle), 1);
    EXPECT_EQ(record->buffers[1].loop, 1);
    ASSERT_EQ(StopSoundHandle(handle), 0);
    EXPECT_EQ(IsSoundHandlePlaying(handle), 0);
    ASSERT_EQ(DeleteSoundHandle(handle), 0);
    SetSoundBufferSoftwareMode(0);
}

}  // namespace
