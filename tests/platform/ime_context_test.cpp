// The input contexts: the desktop's composition, committed text and candidates become the
// IME messages and the strings, cursor, clauses and lists the library reads back in
// Shift-JIS bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/core/text_encoding.h"
#include "platform/ime/imm.h"
#include "platform/testing/ime_test_controls.h"
#include "window/window_fixture.h"

namespace {

using namespace plat;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class ImeContextTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ResetImeTestControls();
        window_ = Create(WS_VISIBLE);
        context_ = ImmGetContext(window_);
        Drain();
    }
    void TearDown() override {
        ResetImeTestControls();
        WindowFixture::TearDown();
    }

    std::string Read(uint32_t index) {
        const int32_t size = ImmGetCompositionStringA(context_, index, nullptr, 0);
        if (size <= 0) return {};
        std::string out(static_cast<size_t>(size), '\0');
        EXPECT_EQ(ImmGetCompositionStringA(context_, index, out.data(), size), size);
        return out;
    }

    WindowHandle window_ = 0;
    InputContext context_ = 0;
};

TEST_F(ImeContextTest, CompositionStartsUpdatesAndEndsWithItsResult) {
    ASSERT_NE(context_, 0u);
    InjectComposition(window_, U8(u8"かんじ"), 2);
    std::vector<Message> start = Drain();
    ASSERT_EQ(start.size(), 3u);
    EXPECT_EQ(start[0].message, WM_IME_NOTIFY);  // a closed IME opens for the composition
    EXPECT_EQ(start[0].wParam, IMN_SETOPENSTATUS);
    EXPECT_EQ(start[1].message, WM_IME_STARTCOMPOSITION);
    EXPECT_EQ(start[2].message, WM_IME_COMPOSITION);
    EXPECT_EQ(static_cast<uint32_t>(start[2].lParam), GCS_COMPSTR | GCS_CURSORPOS | GCS_COMPCLAUSE);
    EXPECT_TRUE(ImmGetOpenStatus(context_));
    EXPECT_EQ(Read(GCS_COMPSTR), Utf8ToSjis(U8(u8"かんじ")));
    // Two characters of two bytes each.
    EXPECT_EQ(ImmGetCompositionStringA(context_, GCS_CURSORPOS, nullptr, 0), 4);

    // Converting: the second clause selected.
    InjectComposition(window_, U8(u8"漢字を"), 2, 1);
    ASSERT_EQ(DrainMessageNumbers(), std::vector<uint32_t>{WM_IME_COMPOSITION});
    uint32_t clauses[8] = {};
    ASSERT_EQ(ImmGetCompositionStringA(context_, GCS_COMPCLAUSE, clauses, sizeof(clauses)), 12);
    EXPECT_EQ(clauses[0], 0u);
    EXPECT_EQ(clauses[1], 4u);
    EXPECT_EQ(clauses[2], 6u);

    InjectCommittedText(window_, U8(u8"漢字を"));
    std::vector<Message> end = Drain();
    ASSERT_EQ(end.size(), 2u);
    EXPECT_EQ(end[0].message, WM_IME_COMPOSITION);
    EXPECT_EQ(static_cast<uint32_t>(end[0].lParam), GCS_RESULTSTR);
    EXPECT_EQ(end[1].message, WM_IME_ENDCOMPOSITION);
    EXPECT_EQ(Read(GCS_COMPSTR), "");
    EXPECT_EQ(Read(GCS_RESULTSTR), Utf8ToSjis(U8(u8"漢字を")));
    // Each result is read once.
    EXPECT_EQ(ImmGetCompositionStringA(context_, GCS_RESULTSTR, nullptr, 0), 0);
}

TEST_F(ImeContextTest, ResultsFasterThanTheirMessagesAreReadInTurn) {
    InjectComposition(window_, U8(u8"あ"), 1);
    InjectCommittedText(window_, U8(u8"亜"));
    InjectComposition(window_, U8(u8"い"), 1);
    InjectCommittedText(window_, U8(u8"井"));
    Drain();
    EXPECT_EQ(Read(GCS_RESULTSTR), Utf8ToSjis(U8(u8"亜")));
    EXPECT_EQ(Read(GCS_RESULTSTR), Utf8ToSjis(U8(u8"井")));
    EXPECT_EQ(Read(GCS_RESULTSTR), "");
}

TEST_F(ImeContextTest, TextWithoutACompositionIsTypedAsCharacterBytes) {
    InjectCommittedText(window_, U8(u8"aア"));
    std::vector<Message> typed = Drain();
    const std::string sjis = Utf8ToSjis(U8(u8"aア"));
    ASSERT_EQ(typed.size(), sjis.size());
    for (size_t i = 0; i < sjis.size(); ++i) {
        EXPECT_EQ(typed[i].message, WM_CHAR);
        EXPECT_EQ(typed[i].wParam, static_cast<unsigned char>(sjis[i]));
    }
}

TEST_F(ImeContextTest, ADisabledImeStartsNoCompositionAndTypesWhatIsCommitted) {
    EXPECT_TRUE(WINNLSEnableIME(window_, false));
    EXPECT_FALSE(TestImeEnabled());
    InjectComposition(window_, U8(u8"か"), 1);
    EXPECT_TRUE(Drain().empty());
    InjectCommittedText(window_, U8(u8"か"));
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{WM_CHAR, WM_CHAR}));
    EXPECT_FALSE(WINNLSEnableIME(window_, true));
}

TEST_F(ImeContextTest, CancelCompleteAndSetStringEndOrStartTheComposition) {
    InjectComposition(window_, U8(u8"て"), 1);
    Drain();
    ASSERT_TRUE(ImmNotifyIME(context_, NI_COMPOSITIONSTR, CPS_CANCEL, 0));
    EXPECT_EQ(DrainMessageNumbers(),
              (std::vector<uint32_t>{WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
    EXPECT_EQ(Read(GCS_COMPSTR), "");
    EXPECT_EQ(Read(GCS_RESULTSTR), "");

    const std::string saved = Utf8ToSjis(U8(u8"てすと"));
    ASSERT_TRUE(ImmSetCompositionStringA(context_, SCS_SETSTR, saved.c_str(),
                                         static_cast<uint32_t>(saved.size()), nullptr, 0));
    EXPECT_EQ(DrainMessageNumbers(),
              (std::vector<uint32_t>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION}));
    EXPECT_EQ(Read(GCS_COMPSTR), saved);
    EXPECT_EQ(ImmGetCompositionStringA(context_, GCS_CURSORPOS, nullptr, 0), 6);

    ASSERT_TRUE(ImmNotifyIME(context_, NI_COMPOSITIONSTR, CPS_COMPLETE, 0));
    Drain();
    EXPECT_EQ(Read(GCS_RESULTSTR), saved);
    EXPECT_FALSE(ImmNotifyIME(context_, 0x16, CPS_CANCEL, 0));
    EXPECT_FALSE(ImmSetCompositionStringA(context_, GCS_COMPSTR, "x", 1, nullptr, 0));
}

TEST_F(ImeContextTest, OpenStatusChangesAreNotifiedAndClosingCancels) {
    ASSERT_TRUE(ImmSetOpenStatus(context_, true));
    ASSERT_TRUE(ImmSetOpenStatus(context_, true));
    std::vector<Message> opened = Drain();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].wParam, IMN_SETOPENSTATUS);
    InjectComposition(window_, U8(u8"に"), 1);
    Drain();
    ASSERT_TRUE(ImmSetOpenStatus(context_, false));
    EXPECT_EQ(DrainMessageNumbers(), (std::vector<uint32_t>{WM_IME_COMPOSITION,
                                                            WM_IME_ENDCOMPOSITION, WM_IME_NOTIFY}));
    EXPECT_FALSE(ImmGetOpenStatus(context_));

    uint32_t conversion = 7, sentence = 7;
    ASSERT_TRUE(ImmGetConversionStatus(context_, &conversion, &sentence));
    EXPECT_EQ(conversion, 0u);
    ASSERT_TRUE(ImmSetConversionStatus(context_, 9, 8));
    EXPECT_EQ(DrainMessageNumbers(), std::vector<uint32_t>{WM_IME_NOTIFY});
    ASSERT_TRUE(ImmGetConversionStatus(context_, &conversion, &sentence));
    EXPECT_EQ(conversion, 9u);
    EXPECT_EQ(sentence, 8u);
}

TEST_F(ImeContextTest, CandidateListIsLaidOutWithOffsetsAndShiftJisStrings) {
    InjectCandidates(window_, {U8(u8"漢字"), "kanji", U8(u8"感じ")}, 1);
    std::vector<Message> opened = Drain();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].wParam, IMN_OPENCANDIDATE);
    const uint32_t size = ImmGetCandidateListA(context_, 0, nullptr, 0);
    ASSERT_GT(size, 0u);
    std::vector<uint32_t> words((size + 3) / 4);
    auto* list = reinterpret_cast<CandidateList*>(words.data());
    EXPECT_EQ(ImmGetCandidateListA(context_, 0, list, size - 1), 0u);  // too small
    ASSERT_EQ(ImmGetCandidateListA(context_, 0, list, size), size);
    EXPECT_EQ(list->size, size);
    EXPECT_EQ(list->count, 3u);
    EXPECT_EQ(list->selection, 1u);
    EXPECT_EQ(list->pageSize, 3u);
    const char* base = reinterpret_cast<const char*>(list);
    EXPECT_EQ(std::string(base + list->offset[0]), Utf8ToSjis(U8(u8"漢字")));
    EXPECT_EQ(std::string(base + list->offset[1]), "kanji");
    EXPECT_EQ(std::string(base + list->offset[2]), Utf8ToSjis(U8(u8"感じ")));
    EXPECT_EQ(ImmGetCandidateListA(context_, 1, nullptr, 0), 0u);

    InjectCandidates(window_, {"a", "b"}, 9);
    EXPECT_EQ(Drain()[0].wParam, IMN_CHANGECANDIDATE);
    InjectCandidates(window_, {}, 0);
    EXPECT_EQ(Drain()[0].wParam, IMN_CLOSECANDIDATE);
    EXPECT_EQ(ImmGetCandidateListA(context_, 0, nullptr, 0), 0u);
}

TEST_F(ImeContextTest, NoWindowNoContext) {
    EXPECT_EQ(ImmGetContext(0), 0u);
    EXPECT_EQ(ImmGetCompositionStringA(0, GCS_COMPSTR, nullptr, 0), IMM_ERROR_NODATA);
    EXPECT_EQ(ImmGetCompositionStringA(context_, 0x4000, nullptr, 0), IMM_ERROR_GENERAL);
    EXPECT_FALSE(ImmSetOpenStatus(0, true));
    EXPECT_FALSE(ImmReleaseContext(window_, 0));
    EXPECT_TRUE(ImmReleaseContext(window_, context_));
}

}  // namespace
