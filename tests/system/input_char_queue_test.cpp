// The typed-character ring between the window procedure and character input, and the keys
// that stand for control characters.
#include "system/input_char_queue.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/window/window_messages.h"
#include "system/window_data.h"

namespace {

class InputCharQueueTest : public ::testing::Test {
protected:
    void SetUp() override { GetWindowData().inputChars = InputCharQueue{}; }
    void TearDown() override { GetWindowData().inputChars = InputCharQueue{}; }
};

struct RingCase {
    const char* name;
    int32_t write, read;
    int result;
    int32_t writeAfter;
};

class InputCharRingTest : public InputCharQueueTest,
                          public ::testing::WithParamInterface<RingCase> {};

TEST_P(InputCharRingTest, QueuesAtTheWritePositionUnlessFull) {
    const RingCase& c = GetParam();
    InputCharQueue& queue = GetWindowData().inputChars;
    queue.write = c.write;
    queue.read = c.read;
    EXPECT_EQ(IsInputCharQueueFull(), c.result == -1 ? 1 : 0);
    EXPECT_EQ(QueueInputChar('Q'), c.result);
    EXPECT_EQ(queue.write, c.writeAfter);
    EXPECT_EQ(queue.read, c.read);
    if (c.result == 0) {
        EXPECT_EQ(queue.chars[c.write], 'Q');
    } else {
        EXPECT_EQ(queue.chars[c.write], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Positions, InputCharRingTest,
    ::testing::Values(RingCase{"Empty", 0, 0, 0, 1},
                      RingCase{"LastFreeBeforeTheEnd", 1023, 0, 0, 1024},
                      RingCase{"FullAtTheEndWhileReadIsZero", 1024, 0, -1, 1024},
                      RingCase{"LastPositionWrapsToZero", 1024, 5, 0, 0},
                      RingCase{"FullOneBehindRead", 4, 5, -1, 4},
                      RingCase{"TwoBehindRead", 3, 5, 0, 4},
                      RingCase{"FullAtZeroBehindOne", 0, 1, -1, 0},
                      RingCase{"ReadAheadAtTheEnd", 100, 1024, 0, 101}),
    [](const ::testing::TestParamInfo<RingCase>& info) { return std::string(info.param.name); });

TEST_F(InputCharQueueTest, HoldsAtMost1024Characters) {
    for (int i = 0; i < 1024; ++i) ASSERT_EQ(QueueInputChar(static_cast<uint8_t>(i)), 0) << i;
    EXPECT_EQ(QueueInputChar('x'), -1);
    const InputCharQueue& queue = GetWindowData().inputChars;
    EXPECT_EQ(queue.write, 1024);
    EXPECT_EQ(queue.chars[1023], static_cast<uint8_t>(1023));
}

TEST(KeyControlCharTest, TableMapsTheEditingKeysAndEndsWithZero) {
    const uint8_t expected[][2] = {{0x2E, 0x10}, {0x25, 0x1D}, {0x27, 0x1C}, {0x26, 0x1E},
                                   {0x28, 0x1F}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(KeyControlCharTable[i].virtualKey, expected[i][0]);
        EXPECT_EQ(KeyControlCharTable[i].controlChar, expected[i][1]);
        EXPECT_EQ(FindKeyControlChar(expected[i][0]), expected[i][1]);
        EXPECT_EQ(IsControlCharCode(expected[i][1]), 1);
    }
    EXPECT_EQ(KeyControlCharTable[5].virtualKey, 0u);
    EXPECT_EQ(FindKeyControlChar('A'), 0);
    EXPECT_EQ(FindKeyControlChar(plat::VK_RETURN), 0);
    for (uint8_t c : {0x00, 0x08, 0x0D, 0x1B, 0x20, 0x41}) EXPECT_EQ(IsControlCharCode(c), 0) << int(c);
}

}  // namespace
