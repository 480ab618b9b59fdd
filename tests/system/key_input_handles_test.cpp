// String-input handles: their table, and the key-input step that feeds the active handle from
// the typed-character ring.
#include <gtest/gtest.h>

#include <string>

#include "base/sjis_string.h"
#include "platform/testing/ime_test_controls.h"
#include "system/input_char_queue.h"
#include "system/key_input.h"
#include "system/window_data.h"

namespace {

class KeyInputHandlesTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::ResetImeTestControls();
        GetWindowData().inputChars = InputCharQueue{};
        SetCharSet(1);
        InitCharInput();
    }
    void TearDown() override {
        DeleteAllKeyInputHandles();
        GetWindowData().inputChars = InputCharQueue{};
        plat::ResetImeTestControls();
    }
    static void Queue(const std::string& bytes) {
        for (char c : bytes) ASSERT_EQ(QueueInputChar(static_cast<uint8_t>(c)), 0);
    }
    static std::string Text(HandleValue handle) {
        char out[64] = {};
        EXPECT_GE(GetKeyInputText(handle, out, sizeof(out)), 0);
        return out;
    }
};

TEST_F(KeyInputHandlesTest, HandlesAreKindTenAndTakeTheHighWaterSlotFirst) {
    HandleValue handles[kMaxStringInputHandles];
    for (int i = 0; i < kMaxStringInputHandles; ++i) {
        handles[i] = CreateKeyInputHandle(8, 0, 0, 0);
        ASSERT_NE(handles[i], kNoHandle) << i;
        EXPECT_EQ(GetHandleKind(handles[i]), kHandleKindStringInput);
        EXPECT_EQ(static_cast<uint32_t>(handles[i]) & 0x78000000u, 0x50000000u);
        EXPECT_EQ(GetHandleSlot(handles[i]), i);
    }
    EXPECT_EQ(CreateKeyInputHandle(8, 0, 0, 0), kNoHandle);  // full
    ASSERT_EQ(DeleteKeyInputHandle(handles[5]), 0);
    EXPECT_EQ(DeleteKeyInputHandle(handles[5]), -1);  // already gone
    const HandleValue again = CreateKeyInputHandle(8, 0, 0, 0);
    EXPECT_EQ(GetHandleSlot(again), 5);
    EXPECT_NE(again, handles[5]);  // a new check serial
    EXPECT_EQ(FindKeyInputRecord(handles[5]), nullptr);
    EXPECT_NE(FindKeyInputRecord(again), nullptr);
}

TEST_F(KeyInputHandlesTest, BadArgumentsAreRefused) {
    EXPECT_EQ(CreateKeyInputHandle(-1, 0, 0, 0), kNoHandle);
    EXPECT_EQ(DeleteKeyInputHandle(kNoHandle), -1);
    EXPECT_EQ(DeleteKeyInputHandle(0x10000000), -1);  // a graph's kind
    EXPECT_EQ(SetActiveKeyInputHandle(0x50000003), -1);
    EXPECT_EQ(CheckKeyInputState(0x50000003), -1);
    const HandleValue h = CreateKeyInputHandle(4, 0, 0, 0);
    char out[4];
    EXPECT_EQ(GetKeyInputText(h, nullptr, 4), -1);
    EXPECT_EQ(GetKeyInputText(h, out, 0), -1);
}

TEST_F(KeyInputHandlesTest, TheStepFeedsTheActiveHandleUntilEnter) {
    const HandleValue h = CreateKeyInputHandle(16, 1, 0, 0);
    Queue("ab\x83\x41\x08" "c\x0D" "d");
    EXPECT_EQ(ProcessKeyInput(), 0);  // nothing active: the queue stays
    EXPECT_EQ(Text(h), "");
    ASSERT_EQ(SetActiveKeyInputHandle(h), 0);
    EXPECT_TRUE(plat::TestImeEnabled());
    EXPECT_EQ(ProcessKeyInput(), 0);
    EXPECT_EQ(Text(h), "abc");
    EXPECT_EQ(FindKeyInputRecord(h)->cursor, 3);
    EXPECT_EQ(CheckKeyInputState(h), 1);
    EXPECT_EQ(GetCharInputState().cursorVisible, 1u);
    // What came after Enter waits for the next input.
    uint8_t out[2];
    EXPECT_EQ(ReadCharQueue(out, 0), 1);
    EXPECT_EQ(out[0], 'd');

    ASSERT_EQ(SetActiveKeyInputHandle(h), 0);  // running again
    Queue("\x1B");
    EXPECT_EQ(ProcessKeyInput(), 0);
    EXPECT_EQ(Text(h), "abcd");
    EXPECT_EQ(CheckKeyInputState(h), 2);
}

TEST_F(KeyInputHandlesTest, ALeadByteAloneWaitsInTheQueue) {
    const HandleValue h = CreateKeyInputHandle(16, 0, 0, 0);
    SetActiveKeyInputHandle(h);
    Queue("x\x83");
    ProcessKeyInput();
    EXPECT_EQ(Text(h), "x");
    Queue("\x41");
    ProcessKeyInput();
    EXPECT_EQ(Text(h), "x\x83\x41");
}

TEST_F(KeyInputHandlesTest, AnInvalidActiveHandleFailsTheStep) {
    const HandleValue h = CreateKeyInputHandle(16, 0, 0, 0);
    SetActiveKeyInputHandle(h);
    const HandleValue other = CreateKeyInputHandle(16, 0, 0, 0);
    ASSERT_EQ(DeleteKeyInputHandle(h), 0);  // the active one: the IME stays on
    EXPECT_TRUE(plat::TestImeEnabled());
    EXPECT_EQ(ProcessKeyInput(), -1);
    // Deleting the last one, not active, turns the IME off.
    ASSERT_EQ(DeleteKeyInputHandle(other), 0);
    EXPECT_FALSE(plat::TestImeEnabled());
}

TEST_F(KeyInputHandlesTest, DigitAndSingleByteInputsKeepTheImeOff) {
    const HandleValue digits = CreateKeyInputHandle(8, 0, 0, 1);
    ASSERT_EQ(SetActiveKeyInputHandle(digits), 0);
    EXPECT_EQ(GetCharInputState().imeEnabled, 0u);
    Queue("-12-3a");
    ProcessKeyInput();
    EXPECT_EQ(Text(digits), "-123");
    ASSERT_EQ(SetActiveKeyInputHandle(kNoHandle), 0);
    EXPECT_EQ(GetCharInputState().activeKeyInput, kNoHandle);
}

TEST_F(KeyInputHandlesTest, TextIsCopiedOutInWholeCharacters) {
    const HandleValue h = CreateKeyInputHandle(16, 0, 0, 0);
    SetActiveKeyInputHandle(h);
    Queue("a\x83\x41" "b");
    ProcessKeyInput();
    char out[3] = {'?', '?', '?'};
    EXPECT_EQ(GetKeyInputText(h, out, sizeof(out)), 4);
    EXPECT_STREQ(out, "a");  // "ア" would not leave room for the terminator
}

TEST_F(KeyInputHandlesTest, DeleteAllLeavesNoActiveHandle) {
    const HandleValue h = CreateKeyInputHandle(16, 0, 0, 0);
    SetActiveKeyInputHandle(h);
    CreateKeyInputHandle(16, 0, 0, 0);
    EXPECT_EQ(DeleteAllKeyInputHandles(), 0);
    EXPECT_EQ(GetCharInputState().activeKeyInput, kNoHandle);
    EXPECT_EQ(FindKeyInputRecord(h), nullptr);
    EXPECT_EQ(ProcessKeyInput(), 0);
}

}  // namespace
