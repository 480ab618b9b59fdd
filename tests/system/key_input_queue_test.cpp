// Reading the typed-character ring by whole characters, and the writers that keep a
// double-byte character whole: typed bytes (WM_CHAR) and the IME's result strings.
#include <gtest/gtest.h>

#include <string>

#include "base/sjis_string.h"
#include "system/input_char_queue.h"
#include "system/key_input_state.h"
#include "system/window_data.h"

namespace {

class KeyInputQueueTest : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() {
        GetWindowData().inputChars = InputCharQueue{};
        GetCharInputState().trailByte = TrailByte::kNone;
        SetCharSet(1);
    }
    // Fills the queue until `room` bytes are left.
    static void FillLeaving(int room) {
        while (InputCharQueueRoom() > room) ASSERT_EQ(QueueInputChar('.'), 0);
    }
    static void DrainAll() {
        uint8_t out[2];
        while (ReadCharQueue(out, 1) != 0) {
        }
    }
};

TEST_F(KeyInputQueueTest, ADoubleByteCharacterWaitsForItsSecondByte) {
    uint8_t out[2] = {};
    EXPECT_EQ(ReadCharQueue(out, 1), 0);  // empty
    ASSERT_EQ(QueueInputChar(0x83), 0);
    EXPECT_EQ(ReadCharQueue(out, 1), 0);  // the lead byte stays
    EXPECT_EQ(InputCharQueueRoom(), 1023);
    ASSERT_EQ(QueueInputChar(0x41), 0);
    EXPECT_EQ(ReadCharQueue(out, 0), 2);  // a peek leaves it
    EXPECT_EQ(ReadCharQueue(out, 1), 2);
    EXPECT_EQ(out[0], 0x83);
    EXPECT_EQ(out[1], 0x41);
    EXPECT_EQ(ReadCharQueue(out, 1), 0);
}

TEST_F(KeyInputQueueTest, ReadingWrapsAroundTheRing) {
    InputCharQueue& queue = GetWindowData().inputChars;
    queue.read = queue.write = 1024;
    ASSERT_EQ(QueueInputChar(0x82), 0);  // at 1024
    ASSERT_EQ(QueueInputChar(0xE1), 0);  // at 0
    ASSERT_EQ(QueueInputChar('z'), 0);
    uint8_t out[2] = {};
    ASSERT_EQ(ReadCharQueue(out, 1), 2);
    EXPECT_EQ(out[1], 0xE1);
    ASSERT_EQ(ReadCharQueue(out, 1), 1);
    EXPECT_EQ(out[0], 'z');
    EXPECT_EQ(queue.read, 2);
}

TEST_F(KeyInputQueueTest, CharacterSetTwoTakesEveryHighByteAsALead) {
    SetCharSet(2);
    QueueInputChar(0xA0);
    QueueInputChar(0x41);
    uint8_t out[2] = {};
    EXPECT_EQ(ReadCharQueue(out, 1), 2);
}

TEST_F(KeyInputQueueTest, TypedLeadByteIsQueuedOnlyWithRoomForItsTrail) {
    FillLeaving(1);
    EXPECT_EQ(QueueTypedChar(0x83), -1);  // no room for the pair
    EXPECT_EQ(QueueTypedChar(0x41), -1);  // so its trail byte goes too
    EXPECT_EQ(InputCharQueueRoom(), 1);
    EXPECT_EQ(QueueTypedChar('a'), 0);    // a single byte still fits
    EXPECT_EQ(InputCharQueueRoom(), 0);

    DrainAll();
    FillLeaving(2);
    EXPECT_EQ(QueueTypedChar(0x83), 0);
    EXPECT_EQ(QueueTypedChar(0x41), 0);
    EXPECT_EQ(InputCharQueueRoom(), 0);
}

TEST_F(KeyInputQueueTest, ResultStringKeepsEachPairWholeOrDropsIt) {
    const std::string text = "a\x83\x41" "b\x83";  // a, ア, b, and a lead byte cut off
    FillLeaving(3);
    // "a" fits, "ア" then finds room for its two bytes... and "b" none.
    EXPECT_EQ(QueueCharString(text.data(), static_cast<int32_t>(text.size())), 3);
    EXPECT_EQ(InputCharQueueRoom(), 0);

    DrainAll();
    FillLeaving(2);
    // "a" takes one byte, "ア" no longer fits whole and is dropped, "b" takes the last.
    EXPECT_EQ(QueueCharString(text.data(), static_cast<int32_t>(text.size())), 2);
    uint8_t out[2] = {};
    std::string read;
    while (int n = ReadCharQueue(out, 1)) read.append(reinterpret_cast<char*>(out), n);
    EXPECT_EQ(read.substr(read.size() - 2), "ab");

    // The lone lead byte at the end never goes in.
    EXPECT_EQ(QueueCharString("\x83", 1), 0);
    EXPECT_EQ(QueueCharString(nullptr, 4), 0);
}

}  // namespace
