// A sound handle's buffers: a buffer that cannot be made, the fallback flags, and a failed
// write of the sound into a buffer.
#include <gtest/gtest.h>

#include "tests/sound/sound_system_fixture.h"

using soundfix::Bytes;

namespace {

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

}  // namespace
