// Streaming sounds made through the load road: union handles that share one ring, the data
// types, the refusals with their log lines, and the stream's part in deleting a handle.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/sound/stream_test_support.h"

using namespace streamtest;

namespace {

class StreamSourcesTest : public StreamFixture {
protected:
    std::string WriteFile(const char* name, const soundfix::Bytes& bytes) {
        const std::string path = (dir_.path() / name).string();
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return path;
    }
};

TEST_F(StreamSourcesTest, UnionHandlesShareOneRingAndTakeItInTurn) {
    const std::string first = WriteFile("a.wav", NumberedWave(1, kRate));
    const std::string second = WriteFile("b.wav", NumberedWave(700001, kRate));
    const std::string other = WriteFile("c.wav", NumberedWave(1, kRate, 22050));
    for (int type : {kStreamDataImage, kStreamDataCallerStream}) {
        SCOPED_TRACE(type);
        GetSoundOutput().createType = type;
        const int buffersBefore = plat::LiveSoundBuffers();
        const HandleValue a = LoadSoundFromFile(first.c_str(), 3, -1);
        ASSERT_NE(a, -1);
        const HandleValue b = LoadSoundFromFile(second.c_str(), 3, a);
        ASSERT_NE(b, -1);
        // A different format gets a ring of its own.
        const HandleValue c = LoadSoundFromFile(other.c_str(), 3, a);
        ASSERT_NE(c, -1);
        EXPECT_EQ(plat::LiveSoundBuffers(), buffersBefore + 2);
        EXPECT_EQ(GetSoundRecord(b)->streaming.unionHandle, a);
        EXPECT_EQ(GetSoundRecord(c)->streaming.unionHandle, -1);
        EXPECT_EQ(GetSoundRecord(a)->streaming.sharers, 1);

        ASSERT_EQ(PlaySoundHandle(a, kSoundPlayBackground, 1), 0);
        EXPECT_EQ(Pump(100, 100)[0], 1u);
        // b takes the ring: a stops, b is heard from its start.
        ASSERT_EQ(PlaySoundHandle(b, kSoundPlayBackground, 1), 0);
        EXPECT_EQ(IsSoundHandlePlaying(a), 0);
        EXPECT_EQ(IsSoundHandlePlaying(b), 1);
        std::vector<uint32_t> out = Pump(200, 200);
        EXPECT_EQ(out[0], 700001u);
        EXPECT_EQ(out[199], 700200u);
        // a takes it back: what it had in the ring is gone, so it starts again from the top.
        ASSERT_EQ(PlaySoundHandle(a, kSoundPlayBackground, 0), 0);
        out = Pump(100, 100);
        EXPECT_EQ(out[0], 1u);
        EXPECT_EQ(out[99], 100u);

        // a goes while b shares its ring: it stays, delete-pending, until b goes too.
        ASSERT_EQ(DeleteSoundHandle(a), 0);
        ASSERT_NE(GetSoundRecord(a), nullptr);
        EXPECT_EQ(GetSoundRecord(a)->streaming.deletePending, 1);
        ASSERT_EQ(DeleteSoundHandle(b), 0);
        EXPECT_EQ(GetSoundRecord(a), nullptr);
        EXPECT_EQ(GetSoundRecord(b), nullptr);
        ASSERT_EQ(DeleteSoundHandle(c), 0);
        EXPECT_EQ(plat::LiveSoundBuffers(), buffersBefore);
        EXPECT_EQ(GetSoundHandleTable().count, 0);
        EXPECT_EQ(GetAllocState().count, blocks_);
    }
}

TEST_F(StreamSourcesTest, AMemoryLoadStreamsWhenTheCreateTypeSaysSo) {
    GetSoundOutput().createType = kStreamDataCallerStream;  // taken as an image in memory
    const soundfix::Bytes wave = NumberedWave(1, 3000);
    const HandleValue handle =
        LoadSoundFromMemory(wave.data(), static_cast<uint32_t>(wave.size()), 3, -1);
    ASSERT_NE(handle, -1);
    EXPECT_EQ(GetSoundRecord(handle)->stream, 1);
    EXPECT_EQ(GetSoundRecord(handle)->streaming.sources[0].dataType, kStreamDataImage);
    EXPECT_EQ(GetSoundRecord(handle)->streaming.primed, 1);
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayBackground, 1), 0);
    const std::vector<uint32_t> out = Pump(3100, 3100);
    EXPECT_EQ(out[0], 1u);
    EXPECT_EQ(out[2999], 3000u);
    EXPECT_EQ(out[3000], 0u);
    DeleteSoundHandle(handle);

    // Data type 0: decoded whole at once, then streamed from the decoded PCM.
    const HandleValue whole = AddSoundData(-1);
    ASSERT_EQ(AppendStreamSourceImage(wave.data(), static_cast<uint32_t>(wave.size()), 0, whole,
                                      kStreamDataPcm, -1),
              0);
    ASSERT_EQ(PlaySoundHandle(whole, kSoundPlayBackground, 1), 0);
    const std::vector<uint32_t> decoded = Pump(3100, 3100);
    EXPECT_EQ(decoded[0], 1u);
    EXPECT_EQ(decoded[2999], 3000u);
    EXPECT_EQ(decoded[3000], 0u);
    DeleteSoundHandle(whole);
    EXPECT_EQ(GetAllocState().count, blocks_);
}

TEST_F(StreamSourcesTest, BadSourcesAreRefusedWithTheirLogLines) {
    GetSoundOutput().createType = kStreamDataImage;
    EXPECT_EQ(LoadSoundFromFile((dir_.path() / "missing.wav").string().c_str(), 1, -1), -1);
    std::string log = NewLogText();
    EXPECT_NE(log.find("右記のＷＡＶファイルのロードに失敗しました"), std::string::npos);
    const std::string junk = WriteFile("junk.wav", soundfix::Bytes(64, 0x33));
    EXPECT_EQ(LoadSoundFromFile(junk.c_str(), 1, -1), -1);
    log = NewLogText();
    EXPECT_NE(log.find("音声データのオープンに失敗しました"), std::string::npos);
    EXPECT_NE(log.find("右記のＷＡＶファイルのセットアップに失敗しました"), std::string::npos);
    EXPECT_EQ(GetSoundHandleTable().count, 0);

    const HandleValue handle = NewStream(NumberedWave(1, 1000), 0);
    ASSERT_NE(handle, -1);
    // A source of another format.
    EXPECT_EQ(AddSource(handle, NumberedWave(1, 1000, 22050), 0), -1);
    EXPECT_NE(NewLogText().find("フォーマットの違う音声データは同時に使うことは出来ません"),
              std::string::npos);
    // A data type that does not exist, and loop starts outside the data.
    const soundfix::Bytes wave = NumberedWave(1, 1000);
    EXPECT_EQ(AppendStreamSourceImage(wave.data(), static_cast<uint32_t>(wave.size()), 0,
                                      handle, 1, -1),
              -1);
    EXPECT_EQ(SetStreamSourceLoopStart(handle, 0, 1000), -1);
    EXPECT_EQ(SetStreamSourceLoopStart(handle, 1, 0), -1);
    EXPECT_EQ(SetStreamSourceLoopStart(handle, 0, -1), -1);
    // No source can be added while the stream plays.
    ASSERT_EQ(PlaySoundHandle(handle, kSoundPlayLoop, 1), 0);
    EXPECT_EQ(AddSource(handle, wave, 0), -1);
    EXPECT_NE(NewLogText().find("既に再生中のストリームサウンドデータにデータを追加しようとしました"),
              std::string::npos);
    DeleteSoundHandle(handle);

    // A normal sound takes no stream source.
    GetSoundOutput().createType = 0;
    const HandleValue normal =
        LoadSoundFromMemory(wave.data(), static_cast<uint32_t>(wave.size()), 1, -1);
    ASSERT_NE(normal, -1);
    EXPECT_EQ(AddSource(normal, wave, 0), -1);
    EXPECT_NE(NewLogText().find("ストリーム風サウンドではないサウンドデータが渡されました"),
              std::string::npos);
    DeleteSoundHandle(normal);
    EXPECT_EQ(GetAllocState().count, blocks_);
}

TEST_F(StreamSourcesTest, NothingWorksWhileSoundIsNotStarted) {
    const HandleValue handle = NewStream(NumberedWave(1, 1000), 0);
    ASSERT_NE(handle, -1);
    ASSERT_EQ(StopSoundOutput(), 0);
    EXPECT_EQ(PrimeStreamSound(handle), -1);
    EXPECT_EQ(StartStreamSoundPlayback(handle, 1, 1), -1);
    EXPECT_EQ(RefillStreamSound(handle), -1);
    EXPECT_EQ(IsStreamSoundPlaying(handle), -1);
    EXPECT_EQ(RefillAllStreamSounds(), 0);
    ASSERT_EQ(StartSoundOutput(), 0);
}

// A handle that shares another's ring holds no buffer of its own: its volume, pan and frequency
// are the shared ring's, so that it is heard as it is set while it plays.
TEST_F(StreamSourcesTest, VolumePanAndFrequencyOfAUnionHandleReachTheSharedRing) {
    const HandleValue a = NewStream(NumberedWave(1, kRate), 0);
    ASSERT_NE(a, -1);
    const HandleValue b = NewStream(NumberedWave(700001, kRate), 0, a);
    ASSERT_NE(b, -1);
    ASSERT_EQ(GetSoundRecord(b)->streaming.unionHandle, a);
    ASSERT_FALSE(GetSoundRecord(b)->buffers[0].valid);
    plat::IDirectSoundBuffer* ring = GetSoundRecord(a)->buffers[0].buffer;
    ASSERT_NE(ring, nullptr);

    struct Case {
        HandleValue handle;
        int volume;
        int32_t decibels;
        int pan;
        int frequency;
    };
    for (const Case& c : {Case{b, 128, -299, -2000, 22050}, Case{a, 64, -600, 1500, 11025},
                          Case{b, 255, 0, 0, 0}}) {
        SCOPED_TRACE(c.handle);
        ASSERT_EQ(SetSoundHandleVolume(c.volume, c.handle), 0);
        ASSERT_EQ(SetSoundHandlePan(c.pan, c.handle), 0);
        ASSERT_EQ(SetSoundHandleFrequency(c.frequency, c.handle), 0);
        int32_t volume = 1, pan = 1;
        uint32_t frequency = 1;
        ASSERT_EQ(ring->GetVolume(&volume), plat::DS_OK);
        ASSERT_EQ(ring->GetPan(&pan), plat::DS_OK);
        ASSERT_EQ(ring->GetFrequency(&frequency), plat::DS_OK);
        EXPECT_EQ(volume, c.decibels);
        EXPECT_EQ(pan, c.pan);
        EXPECT_EQ(frequency, c.frequency == 0 ? kRate : static_cast<uint32_t>(c.frequency));
    }

    // Heard: b playing through a's ring falls silent at volume 0 and comes back at 255.
    ASSERT_EQ(PlaySoundHandle(b, kSoundPlayBackground, 1), 0);
    EXPECT_EQ(Pump(100, 100)[0], 700001u);
    ASSERT_EQ(SetSoundHandleVolume(0, b), 0);
    for (uint32_t frame : Pump(100, 100)) ASSERT_EQ(frame, 0u);
    ASSERT_EQ(SetSoundHandleVolume(255, b), 0);
    EXPECT_EQ(Pump(100, 100)[0], 700201u);

    // With a's ring gone (b deleted first, then a), nothing is left to set.
    ASSERT_EQ(DeleteSoundHandle(b), 0);
    ASSERT_EQ(DeleteSoundHandle(a), 0);
    EXPECT_EQ(SetSoundHandleVolume(255, b), -1);
}

}  // namespace
