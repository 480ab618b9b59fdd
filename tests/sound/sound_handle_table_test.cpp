// The sound handle table: its limit, slots and serials, stale handles and handles of other kinds.
#include <gtest/gtest.h>

#include "tests/sound/sound_system_fixture.h"

using soundfix::Bytes;

namespace {

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

}  // namespace
