// The editing rules of a string input, one typed character at a time: control characters,
// filters, the full buffer, and double-byte characters found from the start of the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "system/key_input.h"

namespace {

// Shift-JIS bytes: "ア" 83 41; "ゃ" 82 E1 (its trail byte lies in the lead-byte range).
const std::string kA = "\x83\x41";
const std::string kSmallYa = "\x82\xE1";

struct Record {
    explicit Record(const std::string& text, int32_t maxLength, int32_t cursor)
        : buffer(std::max(static_cast<size_t>(maxLength), text.size()) + 1, '\0') {
        buffer.replace(0, text.size(), text);
        record.inUse = 1;
        record.text = buffer.data();
        record.length = static_cast<int32_t>(text.size());
        record.maxLength = maxLength;
        record.cursor = cursor;
    }
    // Types a sequence of queue characters (each 1 or 2 bytes).
    void Type(const std::vector<std::string>& chars) {
        for (const std::string& c : chars) {
            ApplyKeyInputChar(record, reinterpret_cast<const uint8_t*>(c.data()),
                              static_cast<int>(c.size()), 1);
        }
    }
    std::string Text() const { return std::string(record.text, static_cast<size_t>(record.length)); }

    std::string buffer;
    KeyInputRecord record{};
};

struct EditCase {
    const char* name;
    std::string text;
    int32_t maxLength, cursor;
    uint32_t escapeAllowed, singleByteOnly, digitsOnly;
    std::vector<std::string> typed;
    std::string expectedText;
    int32_t expectedCursor;
    uint32_t ended, cancelled;
};

class KeyInputEditTest : public ::testing::TestWithParam<EditCase> {};

TEST_P(KeyInputEditTest, EditsTheTextAndCursor) {
    const EditCase& c = GetParam();
    Record r(c.text, c.maxLength, c.cursor);
    r.record.escapeAllowed = c.escapeAllowed;
    r.record.singleByteOnly = c.singleByteOnly;
    r.record.digitsOnly = c.digitsOnly;
    r.Type(c.typed);
    EXPECT_EQ(r.Text(), c.expectedText);
    EXPECT_EQ(r.record.cursor, c.expectedCursor);
    EXPECT_EQ(r.record.ended, c.ended);
    EXPECT_EQ(r.record.cancelled, c.cancelled);
    // The text stays terminated inside its buffer.
    EXPECT_EQ(r.buffer[static_cast<size_t>(r.record.length)], '\0');
    EXPECT_LE(r.record.length, c.maxLength);
}

const std::string kBs = "\x08", kEnter = "\x0D", kDel = "\x10", kEsc = "\x1B", kRight = "\x1C",
                  kLeft = "\x1D", kUp = "\x1E", kTab = "\x09";

INSTANTIATE_TEST_SUITE_P(
    Rules, KeyInputEditTest,
    ::testing::Values(
        EditCase{"InsertsAtTheCursor", "ac", 10, 1, 0, 0, 0, {"b"}, "abc", 2, 0, 0},
        EditCase{"DoubleByteInsertMovesTwo", "", 10, 0, 0, 0, 0, {kA, "x"}, kA + "x", 3, 0, 0},
        EditCase{"BackspaceAtZeroDoesNothing", "ab", 10, 0, 0, 0, 0, {kBs}, "ab", 0, 0, 0},
        EditCase{"BackspaceRemovesADoubleByteCharacter", "x" + kA, 10, 3, 0, 0, 0, {kBs}, "x", 1,
                 0, 0},
        // The byte two before the cursor is 0xE1, a lead byte by its value, but it is the
        // trail byte of "ゃ": only "a" goes.
        EditCase{"BackspaceAfterATrailByteThatLooksLikeALead", kSmallYa + "a", 10, 3, 0, 0, 0,
                 {kBs}, kSmallYa, 2, 0, 0},
        EditCase{"LeftAfterATrailByteThatLooksLikeALead", kSmallYa + "a", 10, 3, 0, 0, 0,
                 {kLeft, kLeft, kLeft}, kSmallYa + "a", 0, 0, 0},
        EditCase{"RightStepsOverWholeCharacters", kA + "b", 10, 0, 0, 0, 0,
                 {kRight, kRight, kRight}, kA + "b", 3, 0, 0},
        EditCase{"DeleteTakesTheCharacterAtTheCursor", "a" + kA + "b", 10, 1, 0, 0, 0, {kDel},
                 "ab", 1, 0, 0},
        EditCase{"DeleteAtTheEndDoesNothing", "ab", 10, 2, 0, 0, 0, {kDel}, "ab", 2, 0, 0},
        EditCase{"TabUpAndDownAreIgnored", "a", 10, 1, 0, 0, 0, {kTab, kUp, "\x1F"}, "a", 1, 0,
                 0},
        EditCase{"OtherControlCharactersGoInAsText", "", 10, 0, 0, 0, 0, {"\x0B"}, "\x0B", 1, 0,
                 0},
        EditCase{"EnterEndsTheInput", "a", 10, 1, 0, 0, 0, {kEnter}, "a", 1, 1, 0},
        EditCase{"EscapeNotAllowedDoesNothing", "a", 10, 1, 0, 0, 0, {kEsc}, "a", 1, 0, 0},
        EditCase{"EscapeAllowedCancels", "a", 10, 1, 1, 0, 0, {kEsc}, "a", 1, 1, 1},
        EditCase{"SingleByteModeDropsDoubleByte", "", 10, 0, 0, 1, 0, {kA, "z"}, "z", 1, 0, 0},
        EditCase{"DigitsOnlyTakesDigits", "", 10, 0, 0, 0, 1, {"1", "a", kA, "2", " "}, "12", 2,
                 0, 0},
        EditCase{"DigitsOnlyMinusFirst", "", 10, 0, 0, 0, 1, {"-", "5", "-"}, "-5", 2, 0, 0},
        EditCase{"DigitsOnlyMinusNotInTheMiddle", "12", 10, 1, 0, 0, 1, {"-"}, "12", 1, 0, 0},
        EditCase{"DigitsOnlyMinusAtZeroOnlyOnce", "-5", 10, 0, 0, 0, 1, {"-"}, "-5", 0, 0, 0},
        EditCase{"DigitsOnlyNothingBeforeTheMinus", "-5", 10, 0, 0, 0, 1, {"7"}, "-5", 0, 0, 0},
        EditCase{"FullBufferDropsTheLastCharacter", "abcd", 4, 4, 0, 0, 0, {"e"}, "abce", 4, 0,
                 0},
        EditCase{"FullBufferCursorInside", "abcd", 4, 1, 0, 0, 0, {"x"}, "axbc", 2, 0, 0},
        EditCase{"FullBufferDropsADoubleByteWhole", "ab" + kA, 4, 4, 0, 0, 0, {"c"}, "abc", 3, 0,
                 0},
        EditCase{"FullBufferTwoSingleBytesMakeRoomForADouble", "abcd", 4, 4, 0, 0, 0, {kA},
                 "ab" + kA, 4, 0, 0},
        EditCase{"ZeroLengthTakesNothing", "", 0, 0, 0, 0, 0, {"a", kA}, "", 0, 0, 0},
        EditCase{"DoubleByteNeverFitsInOneByte", "a", 1, 1, 0, 0, 0, {kA}, "a", 1, 0, 0},
        EditCase{"NulIsNeverInserted", "a", 4, 1, 0, 0, 0, {std::string(1, '\0')}, "a", 1, 0, 0}),
    [](const ::testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(KeyInputCharBoundaryTest, PreviousCharacterIsFoundFromTheStart) {
    // ゃ (82 E1), then ア (83 41): E1 looks like a lead byte but is a trail byte.
    const std::string text = kSmallYa + kA + "z";
    EXPECT_EQ(KeyInputPrevChar(text.c_str(), 5, 1), 4);
    EXPECT_EQ(KeyInputPrevChar(text.c_str(), 4, 1), 2);
    EXPECT_EQ(KeyInputPrevChar(text.c_str(), 2, 1), 0);
    EXPECT_EQ(KeyInputPrevChar(text.c_str(), 0, 1), 0);
    // Character set 2: every byte from 0x80 leads.
    EXPECT_EQ(KeyInputCharSize("\xA0\x41", 2, 0, 2), 2);
    EXPECT_EQ(KeyInputCharSize("\xA0\x41", 2, 0, 1), 1);
    // A lead byte as the last byte stands alone.
    EXPECT_EQ(KeyInputCharSize("a\x83", 2, 1, 1), 1);
}

}  // namespace
