#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/window/message_box.h"
#include "platform/testing/window_test_controls.h"
#include "window_fixture.h"

namespace {

using namespace plat;

class MessageBoxTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        const char* old = std::getenv("ZN_ANSWER");
        hadAnswer_ = old != nullptr;
        if (hadAnswer_) oldAnswer_ = old;
    }
    void TearDown() override {
        if (hadAnswer_) {
            setenv("ZN_ANSWER", oldAnswer_.c_str(), 1);
        } else {
            unsetenv("ZN_ANSWER");
        }
        WindowFixture::TearDown();
    }
    bool hadAnswer_ = false;
    std::string oldAnswer_;
};

struct AnswerCase {
    const char* answer;  // ZN_ANSWER, null for unset
    uint32_t type;
    int expected;
};

TEST_F(MessageBoxTest, AnswersComeFromTheEnvironmentAndFitTheBox) {
    const AnswerCase cases[] = {
        {nullptr, MB_YESNOCANCEL, IDNO},
        {"yes", MB_YESNOCANCEL, IDYES},
        {"no", MB_YESNOCANCEL, IDNO},
        {"cancel", MB_YESNOCANCEL, IDCANCEL},
        {"ok", MB_YESNOCANCEL, IDNO},      // not offered: No
        {"cancel", MB_YESNO, IDNO},        // not offered: No
        {"yes", MB_OKCANCEL, IDCANCEL},    // not offered: Cancel
        {"ok", MB_OKCANCEL, IDOK},
        {nullptr, MB_OK | MB_ICONERROR, IDOK},
        {"no", MB_OK, IDOK},
        {"bogus", MB_YESNO, IDNO},
    };
    for (const AnswerCase& c : cases) {
        SCOPED_TRACE(std::string(c.answer != nullptr ? c.answer : "(unset)") + " / " +
                     std::to_string(c.type));
        if (c.answer != nullptr) {
            setenv("ZN_ANSWER", c.answer, 1);
        } else {
            unsetenv("ZN_ANSWER");
        }
        EXPECT_EQ(ShowMessageBox(0, "q", "t", c.type), c.expected);
    }
}

TEST_F(MessageBoxTest, TheTestControlOverridesTheEnvironmentAndTextsAreRecorded) {
    setenv("ZN_ANSWER", "no", 1);
    SetMessageBoxAnswer(IDYES);
    EXPECT_EQ(ShowMessageBox(0, "フルスクリーンで起動しますか?", "確認", MB_YESNOCANCEL), IDYES);
    SetMessageBoxAnswer(0);
    EXPECT_EQ(ShowMessageBox(0, "初期化に失敗しました", "", MB_OK), IDOK);

    std::vector<MessageBoxRecord> records = TakeMessageBoxRecords();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].text, "フルスクリーンで起動しますか?");  // Shift-JIS, as given
    EXPECT_EQ(records[0].title, "確認");
    EXPECT_EQ(records[0].type, MB_YESNOCANCEL);
    EXPECT_EQ(records[0].answer, IDYES);
    EXPECT_EQ(records[1].answer, IDOK);
    EXPECT_TRUE(TakeMessageBoxRecords().empty());
}

TEST_F(MessageBoxTest, OnlyTheLatestRecordsAreKept) {
    for (int i = 0; i < 70; ++i) ShowMessageBox(0, std::to_string(i).c_str(), "", MB_OK);
    std::vector<MessageBoxRecord> records = TakeMessageBoxRecords();
    ASSERT_EQ(records.size(), 64u);
    EXPECT_EQ(records.front().text, "6");
    EXPECT_EQ(records.back().text, "69");
}

}  // namespace
