// Character input on the started library: typed characters and an IME composition posted to
// the library window reach the active string input through the message pump's key-input step.
#include <string>

#include "base/tracked_memory.h"
#include "platform/backend/headless/injected_events.h"
#include "platform/core/text_encoding.h"
#include "platform/testing/ime_test_controls.h"
#include "system/key_input.h"
#include "tests/support/library_fixture.h"

namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class CharInputEntryTest : public LibraryFixture {
protected:
    void SetUp() override {
        LibraryFixture::SetUp();
        plat::ResetImeTestControls();
    }
    void TearDown() override {
        DeleteAllKeyInputHandles();
        LibraryFixture::TearDown();
        plat::ResetImeTestControls();
    }
};

TEST_F(CharInputEntryTest, TypedTextAndACompositionReachTheActiveStringInput) {
    StartWithoutPumpThread();
    EXPECT_TRUE(LogHas("文字コードバッファの初期化を行います... 完了しました"));
    EXPECT_FALSE(plat::TestImeEnabled());  // until a string input wants it
    const HandleValue h = CreateKeyInputHandle(32, 1, 0, 0);
    ASSERT_NE(h, kNoHandle);
    ASSERT_EQ(SetActiveKeyInputHandle(h), 0);
    EXPECT_TRUE(plat::TestImeEnabled());

    plat::InjectText(Window(), U8(u8"Aア"));
    plat::InjectKey(Window(), plat::VK_LEFT, true);  // the cursor back over "ア"
    plat::InjectKey(Window(), plat::VK_LEFT, false);
    EXPECT_EQ(ApiProcessMessage(), 0);
    const KeyInputRecord* record = FindKeyInputRecord(h);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(std::string(record->text), std::string("A").append(plat::Utf8ToSjis(U8(u8"ア"))));
    EXPECT_EQ(record->cursor, 1);

    plat::InjectComposition(Window(), U8(u8"かな"), 2);
    EXPECT_EQ(ApiProcessMessage(), 0);
    EXPECT_EQ(GetCharInputState().composing, 1u);
    EXPECT_EQ(GetCharInputState().compositionCursor, 2);
    plat::InjectCommittedText(Window(), U8(u8"仮名"));
    plat::InjectKey(Window(), plat::VK_RETURN, true);
    EXPECT_EQ(ApiProcessMessage(), 0);

    EXPECT_EQ(GetCharInputState().composing, 0u);
    EXPECT_EQ(std::string(record->text),
              std::string("A")
                  .append(plat::Utf8ToSjis(U8(u8"仮名")))
                  .append(plat::Utf8ToSjis(U8(u8"ア"))));
    EXPECT_EQ(record->cursor, 5);
    EXPECT_EQ(CheckKeyInputState(h), 1);  // Enter ended it
}

// String inputs still open at shut-down are given back with the window: nothing tracked is
// left behind.
TEST_F(CharInputEntryTest, ShutDownGivesBackStringInputsLeftOpen) {
    // A start and end without string inputs gives the count to compare with.
    StartWithoutPumpThread();
    ASSERT_EQ(ApiTermLibrary(), 0);
    const uint32_t blocksAfterPlainRun = GetAllocState().count;
    StartWithoutPumpThread();
    ASSERT_NE(CreateKeyInputHandle(64, 1, 0, 0), kNoHandle);
    ASSERT_NE(CreateKeyInputHandle(16, 0, 1, 1), kNoHandle);
    ASSERT_EQ(ApiTermLibrary(), 0);
    EXPECT_EQ(GetAllocState().count, blocksAfterPlainRun);
}

}  // namespace
