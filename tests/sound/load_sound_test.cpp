// Loading sounds from files and file images: buffer counts, and files that cannot be loaded.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/sound/sound_system_fixture.h"

using soundfix::Bytes;

namespace {

// Text with a stray 0xFF 0xFF (a frame sync that is no header), then good MP3 frames.
Bytes NotMp3ButHoldingFrames() {
    const char text[] = "plain text, not a sound \xFF\xFF and then ";
    Bytes file(text, text + sizeof(text) - 1);
    const Bytes frames = soundfix::Mp3Frames(10);
    file.insert(file.end(), frames.begin(), frames.end());
    return file;
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

}  // namespace
