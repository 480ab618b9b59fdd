// The controls of a sound handle's buffers: the volume law on every buffer.
#include <gtest/gtest.h>

#include "tests/sound/sound_system_fixture.h"

using soundfix::Bytes;

namespace {

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

}  // namespace
