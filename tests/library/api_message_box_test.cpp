// The message box and local-time entries the game's start-up uses.
#include <gtest/gtest.h>

#include "platform/backend/backend_entries.h"
#include "platform/core/clock.h"
#include "platform/testing/backend_test_controls.h"
#include "platform/testing/test_controls.h"
#include "platform/window/window_messages.h"
#include "platform/testing/window_test_controls.h"
#include "library/public/api.h"

namespace {

class ApiMessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override { plat::ResetWindowTestControls(); }
    void TearDown() override {
        plat::ResetWindowTestControls();
        plat::ResetTestControls();
    }
};

TEST_F(ApiMessageBoxTest, TheAnswerAndTheTextsGoThroughUnchanged) {
    struct Case {
        int set;  // the headless answer
        int buttons;
        int expected;
    };
    const Case cases[] = {
        {plat::IDYES, ApiButtonsYesNoCancel, ApiAnswerYes},
        {plat::IDNO, ApiButtonsYesNoCancel, ApiAnswerNo},
        {plat::IDCANCEL, ApiButtonsYesNoCancel, ApiAnswerCancel},
        {plat::IDCANCEL, ApiButtonsYesNo, ApiAnswerNo},  // a box without Cancel answers No
        {plat::IDYES, ApiButtonsOk, ApiAnswerOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        plat::TakeMessageBoxRecords();
        plat::SetMessageBoxAnswer(c.set);
        EXPECT_EQ(ApiShowMessageBox("フルスクリーンで起動しますか?", "VORNAST", c.buttons),
                  c.expected);
        const std::vector<plat::MessageBoxRecord> records = plat::TakeMessageBoxRecords();
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].text, "フルスクリーンで起動しますか?");
        EXPECT_EQ(records[0].title, "VORNAST");
        EXPECT_EQ(records[0].type, static_cast<uint32_t>(c.buttons));
    }
}

// The game asks its start-up question before the library starts: the entry hands the platform
// its backends itself.
TEST_F(ApiMessageBoxTest, ABoxBeforeStartUpFindsTheBackendsHandedDown) {
    plat::HandDownBackendsAfresh({});
    plat::SetMessageBoxAnswer(plat::IDNO);
    EXPECT_EQ(ApiShowMessageBox("フルスクリーンで起動しますか?", "VORNAST", ApiButtonsYesNo),
              ApiAnswerNo);
    EXPECT_EQ(&plat::HeadlessBackendRecord(), &plat::kHeadlessBackendRecord);
}

TEST_F(ApiMessageBoxTest, LocalDateTimeFollowsTheFixedStartAndTheClock) {
    plat::UseVirtualClock(true);
    const plat::LocalDateTime start{2025, 12, 31, 23, 59, 58, 0, 0};
    plat::SetFixedLocalTime(&start);
    plat::AdvanceVirtualClock(2'345'000);  // 2.345 s later: the next year

    ApiDateTime now{};
    ASSERT_EQ(ApiGetLocalDateTime(&now), 0);
    EXPECT_EQ(now.year, 2026);
    EXPECT_EQ(now.month, 1);
    EXPECT_EQ(now.day, 1);
    EXPECT_EQ(now.hour, 0);
    EXPECT_EQ(now.minute, 0);
    EXPECT_EQ(now.second, 0);
    EXPECT_EQ(now.millisecond, 345);
    EXPECT_EQ(ApiGetLocalDateTime(nullptr), -1);
}

}  // namespace
